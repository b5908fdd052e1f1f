// Shows the discovery window searching a small sample network whose
// provider answers slowly, so that pictures can be taken of the search
// window while it animates and of the machines listed afterwards.
#include "ScriptedNetwork.h"

#include "tessaly/NetWorkClients.h"
#include "tessaly/Program.h"
#include "winui/Application.h"

using testing_support::NetNode;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    winui::Application app;
    tessaly::CreateForms(app);
    NetNode workgroup = NetNode::Container("OFFICE", RESOURCEDISPLAYTYPE_DOMAIN,
                                           {NetNode::Server("\\\\FRONTDESK", "Front desk"),
                                            NetNode::Server("\\\\STUDIO-PC", "Design studio"),
                                            NetNode::Server("\\\\LAB-04", "Lab bench 4"), NetNode::Server("\\\\NAS")});
    NetNode network = NetNode::Container("Microsoft Windows Network", RESOURCEDISPLAYTYPE_NETWORK, {workgroup});
    NetNode root;
    root.children = {network};
    auto scripted = std::make_unique<testing_support::ScriptedNetwork>(root);
    // Two reads per container; the GUI thread is held, the picture moves on.
    scripted->whileEnumerating = [] { ::Sleep(1000); };
    frmNetworkClients->SetNetResources(std::move(scripted));
    frmNetworkClients->ShowModal();
    return 0;
}
