// Start-up of Tessaly: the application title and its five windows, in order.
#pragma once

namespace winui {
class Application;
}

namespace tessaly {

// Creates the widget first (the portal's menu takes its icons from the
// widget), then the portal, the address book, discovery and search windows.
void CreateForms(winui::Application& app);

}  // namespace tessaly
