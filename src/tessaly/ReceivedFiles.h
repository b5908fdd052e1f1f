// The files that peers send, as the portal keeps them: each written into the
// receive folder under a name of its own, never outside the folder, never
// over a file that is there, and never left half-written.
#pragma once

#include "transfer/Streams.h"
#include "winui/AnsiCodePage.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace tessaly {

// A received name that the receive folder cannot take; what() is the name
// as a message may show it.
class RefusedName : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The user's Downloads folder, with its separator at the end. Throws when
// there is none, or when the ANSI code page cannot hold its path exactly
// (files are written by that path).
std::string DownloadsFolder();

// Whether this user can create files in the folder (a standard user may
// not create them in C:\).
bool CanCreateFilesIn(const std::string& folder);

// The folder received files go to: `preferred` where this user can create
// files, else Downloads; empty when neither can be had.
std::string ChooseReceiveFolder(const std::string& preferred);

class ReceivedFiles {
public:
    // `folder` ends with its separator ("C:\").
    explicit ReceivedFiles(std::string folder) : folder_(std::move(folder)) {}

    // Writes the whole content under the received name, reduced to its last
    // part, or under the first free "name (n).ext" when that is taken (a
    // name that would make the path too long for the platform is refused);
    // returns the path written. Safe to call from several session threads
    // at once. Throws RefusedName for a name that is refused, and
    // std::runtime_error when the content cannot be written (no file of it
    // then remains).
    std::string Store(std::string_view receivedName, TStream& content) const;
    const std::string& Folder() const noexcept { return folder_; }

private:
    std::string folder_;
    winui::AnsiCodePage codePage_;  // the one peers announce names in
};

}  // namespace tessaly
