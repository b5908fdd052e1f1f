// The platform's mark on a file that came from another machine: with it the
// platform warns before running a received program, and document programs
// open a received document in their protected view.
#pragma once

#include <string>

namespace tessaly {

class DownloadMark {
public:
    virtual ~DownloadMark() = default;
    // Records on the file at `path` that it came from the machine at
    // `senderAddress` (dotted IPv4). May be called from several threads at
    // once. False when the platform did not record it; the file stays
    // either way.
    virtual bool Save(const std::string& path, const std::string& senderAddress) = 0;
};

// Through the platform's attachment services (IAttachmentExecute), which
// write the file's zone of origin where the platform keeps it (the
// Zone.Identifier stream on NTFS). The service's class may be missing (Wine
// has none): the file then stays unmarked.
class AttachmentServicesMark final : public DownloadMark {
public:
    bool Save(const std::string& path, const std::string& senderAddress) override;
};

}  // namespace tessaly
