// Start-up of Brimwell: the title and its one window.
#pragma once

#include "SystemProbe.h"

#include <memory>

namespace winui {
class Application;
}

namespace brimwell {

void CreateForms(winui::Application& app, std::unique_ptr<SystemProbe> probe = nullptr);

}  // namespace brimwell
