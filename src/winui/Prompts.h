// The two seams through which the program reaches the user and other
// programs: modal message boxes and dialogs, and the shell's "open". Tests
// install their own implementations to answer them and record what would be
// started.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace winui {

// Plain: a box with no icon.
enum class MessageKind { Plain, Information, Confirmation, Warning, Error };
enum class MessageButtons { Ok, YesNo };
enum class MessageResult { Ok, Yes, No };

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual MessageResult Show(HWND owner, const std::string& caption, MessageKind kind, const std::string& text,
                               MessageButtons buttons) = 0;
    // The shell's folder chooser with `title`: the chosen folder, or nothing
    // when the user cancels (as an implementation that answers only boxes does).
    virtual std::optional<std::string> ChooseFolder(HWND /*owner*/, const std::string& /*title*/)
    {
        return std::nullopt;
    }
    // A box asking for one line of text: the text on OK, nothing on Cancel.
    virtual std::optional<std::string> InputBox(HWND /*owner*/, const std::string& /*caption*/,
                                                const std::string& /*prompt*/, const std::string& /*value*/)
    {
        return std::nullopt;
    }
    // The open dialog for one or more existing files; `filter` holds
    // description|pattern pairs ("All Files (*.*)|*.*"). The chosen files'
    // full paths as the file system names them (whatever the ANSI code page
    // holds), in the dialog's order; none when the user cancels.
    virtual std::vector<std::wstring> OpenFiles(HWND /*owner*/, const std::string& /*title*/,
                                                const std::string& /*filter*/)
    {
        return {};
    }
};

// Modal MessageBoxA with the icon of the kind; SHBrowseForFolderA; a small
// dialog of its own for the input box; the shell's file open dialog.
class PlatformPrompts final : public Prompts {
public:
    MessageResult Show(HWND owner, const std::string& caption, MessageKind kind, const std::string& text,
                       MessageButtons buttons) override;
    std::optional<std::string> ChooseFolder(HWND owner, const std::string& title) override;
    std::optional<std::string> InputBox(HWND owner, const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    std::vector<std::wstring> OpenFiles(HWND owner, const std::string& title, const std::string& filter) override;
};

class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;
    // Asks the shell to open a document with its associated program; the
    // outcome is the shell's business.
    virtual void Open(HWND owner, const std::string& path) = 0;
};

class PlatformShellLauncher final : public ShellLauncher {
public:
    void Open(HWND owner, const std::string& path) override;
};

}  // namespace winui
