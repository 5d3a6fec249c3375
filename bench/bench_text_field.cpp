// The keyboard's host field: one character typed through the document proxy into a field that
// already holds N characters, then laid out (wrapped, its end kept in view), as after each key.
#include "platform/host/HeadlessHost.h"
#include "platform/host/TextFieldHost.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

void TypeIntoAFilledField(benchmark::State& state) {
    host::HeadlessHost host(host::DeviceProfile::smallPhone());
    auto* window = host::TextFieldHost::launch(host, [] { return std::make_unique<uikit::InputViewController>(); });
    std::string filled;
    while (filled.size() < static_cast<std::size_t>(state.range(0))) filled += "7×6=42 ";
    window->setFieldText(filled);
    host.runUntilIdle();
    auto& proxy = window->keyboard()->textDocumentProxy();
    for (auto _ : state) {
        proxy.insertText("5");
        host.runUntilIdle();
        proxy.deleteBackward();
        host.runUntilIdle();
    }
    state.SetLabel("one insertion and one deletion, each laid out");
}
BENCHMARK(TypeIntoAFilledField)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
