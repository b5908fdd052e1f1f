// A program of its own for each test of the styled controls: an
// application whose forms host the controls under test.
#pragma once

#include "winui/Application.h"
#include "winui/Form.h"

#include <gtest/gtest.h>

#include <memory>

// A plain form of this client size, to host the controls a test puts on it.
inline winui::FormDesign HostFormDesign(int clientWidth, int clientHeight)
{
    winui::FormDesign design;
    design.clientWidth = clientWidth;
    design.clientHeight = clientHeight;
    return design;
}

// Creates a form of the application and shows it.
template <typename F>
F& ShowNewForm(winui::Application& app)
{
    F& form = app.CreateForm<F>();
    form.Show();
    winui::ProcessMessages();
    return form;
}

class ControlTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        app.reset();
        // The application posts its quit as it ends; the next test's must
        // not find it.
        MSG msg;
        ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    // Creates a test's own form and shows it.
    template <typename F>
    F& ShowForm()
    {
        return ShowNewForm<F>(*app);
    }

    std::unique_ptr<winui::Application> app = std::make_unique<winui::Application>();
};
