#include "Program.h"

#include "AddressList.h"
#include "FilePortal.h"
#include "Main.h"
#include "NetWorkClients.h"
#include "PageExport.h"

#include "winui/Application.h"

namespace tessaly {

void CreateForms(winui::Application& app)
{
    app.SetTitle("Tessaly");
    app.CreateForm(Form1);
    app.CreateForm(frmFilePortal);
    app.CreateForm(frmAddressList);
    app.CreateForm(frmNetworkClients);
    app.CreateForm(frmExport);
}

}  // namespace tessaly
