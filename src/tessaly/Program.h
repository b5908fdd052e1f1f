// Start-up of Tessaly: the application title and its five windows, in order.
#pragma once

#include <string>

namespace winui {
class Application;
}

namespace tessaly {

// Creates the widget first (the portal's menu takes its icons from the
// widget), then the portal, the address book, discovery and search windows.
// The portal receives into `receiveFolder` where it can.
void CreateForms(winui::Application& app, const std::string& receiveFolder = "C:\\");

}  // namespace tessaly
