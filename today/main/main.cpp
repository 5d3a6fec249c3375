// ostrelo-widget: the calculator widget in a panel of its own.
#include "platform/host/PanelHost.h"
#include "today/TodayStartup.h"

int main(int argc, char** argv) { return host::PanelHost::run(argc, argv, ostrelo::TodayStartup::factory(), "ostrelo"); }
