#include "app/settings/SettingsPage.h"
#include "platform/host/WindowHost.h"

int main(int argc, char** argv) { return host::WindowHost::run(argc, argv, ostrelo::SettingsPage::description()); }
