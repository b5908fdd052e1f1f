// Tessaly, the recent-documents widget.
#include "Program.h"

#include "winui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    winui::Application app;
    tessaly::CreateForms(app);
    app.Run();
    return 0;
}
