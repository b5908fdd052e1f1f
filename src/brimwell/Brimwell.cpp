// Brimwell, the system monitor widget.
#include "Program.h"

#include "winui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    winui::Application app;
    brimwell::CreateForms(app);
    app.Run();
    return 0;
}
