#include "DownloadMark.h"

#include "winui/Handles.h"
#include "winui/LocaleText.h"

#include <windows.h>
#include <shobjidl.h>

namespace tessaly {

namespace {

// Tessaly's portal as a client of the attachment services: the platform
// keeps per-client settings under it.
// {383BBA37-F50B-4F0D-B150-14AAA5F0AC1A}
constexpr GUID portalClient{0x383bba37, 0xf50b, 0x4f0d, {0xb1, 0x50, 0x14, 0xaa, 0xa5, 0xf0, 0xac, 0x1a}};

}  // namespace

bool AttachmentServicesMark::Save(const std::string& path, const std::string& senderAddress)
{
    // Called on a receiving session's thread, which has no apartment of its
    // own: one for the call. Not on the GUI thread, as saving the mark may
    // have the platform's virus scanners read the whole file first.
    const winui::ComApartment apartment;
    winui::ComPtr<IAttachmentExecute> attachment;
    if (FAILED(::CoCreateInstance(CLSID_AttachmentServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAttachmentExecute,
                                  attachment.PutVoid())))
        return false;
    // The service maps the source to a zone as a URL would be: the sender
    // is the host of one. An address of another machine falls in the
    // Internet zone unless the user's settings say otherwise.
    const std::wstring source = L"http://" + winui::Widen(senderAddress) + L"/";
    return SUCCEEDED(attachment->SetClientGuid(portalClient)) &&
           SUCCEEDED(attachment->SetLocalPath(winui::Widen(path).c_str())) &&
           SUCCEEDED(attachment->SetSource(source.c_str())) && SUCCEEDED(attachment->Save());
}

}  // namespace tessaly
