#include "NMSTRMServ.h"

#include "core/StreamHeader.h"

#include <exception>
#include <memory>
#include <new>

TNMStrmServ::~TNMStrmServ()
{
    Shutdown();
}

void TNMStrmServ::Serve()
{
    try {
        larkspan::transfer::HeaderParser header;
        while (!header.Complete()) {
            const std::string piece = Read(header.Wanted());
            // A header cut short or malformed ends the session at once.
            if (piece.empty())
                return;
            header.Feed(piece);
            if (header.GetState() == larkspan::transfer::HeaderParser::State::Malformed)
                return;
        }
        const std::int64_t size = header.ContentSize();
        ReceivedByteCount = 0;
        TransferSize = static_cast<std::int32_t>(size);
        MemoryBudget::Share share;  // given back after the content has gone
        std::unique_ptr<TStream> content;
        try {
            content = Capture(size, share);
        } catch (const ESockError&) {
            return;  // the peer broke off, or the session was ended: nothing to say
        } catch (const std::exception&) {
            CaptureFailed(header.Name());  // what had arrived is gone already
            return;
        }
        if (!content)
            return;
        // The acknowledgement says that the content is kept: it goes once
        // OnMSG has stored it. A handler that refuses the content or cannot
        // store it turns the sender away with a reset, as a sender takes a
        // plain close without an answer for its content's arrival.
        content->SetPosition(0);
        auto* listener = static_cast<TNMStrmServ*>(ParentServer());
        try {
            if (listener && listener->OnMSG)
                listener->OnMSG(*this, header.Name(), *content);
        } catch (const std::exception&) {
            ResetConnection();
            return;
        }
        content.reset();  // what the handler kept is all that stays
        SendAcknowledgement();
    } catch (const std::exception&) {
        return;  // the session ends without OnMSG and without a report
    }
    WaitForPeerClose();
}

void TNMStrmServ::SendAcknowledgement()
{
    // Kept is kept: the sender hears so also from a session that its
    // listener is ending meanwhile, so a cancellation does not stop these
    // 16 bytes. A sender gone since still delivered its content.
    const std::string_view ack = larkspan::transfer::acknowledgement;
    std::size_t sent = 0;
    while (sent < ack.size()) {
        const int result = ::send(socket_, ack.data() + sent, static_cast<int>(ack.size() - sent), 0);
        if (result > 0) {
            sent += static_cast<std::size_t>(result);
            continue;
        }
        if (result == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK)
            return;
        try {
            CheckIdle();
        } catch (const ESockError&) {
            return;
        }
        AwaitSocket(Direction::Send);
    }
}

std::unique_ptr<TStream> TNMStrmServ::Capture(std::int64_t size, MemoryBudget::Share& share)
{
    std::unique_ptr<TStream> content = NewContent(size, share);
    if (size > 0)
        CaptureStream(*content, size);
    // Only complete content is acknowledged and handed on: a connection that
    // ended early must neither pass for a received file nor tell its sender
    // that it did.
    if (content->Size() != size)
        return nullptr;
    return content;
}

void TNMStrmServ::CaptureFailed(const std::string& from)
{
    // A reset, not an orderly close: a sender takes a close without an
    // answer for its content's arrival.
    ResetConnection();
    auto* listener = static_cast<TNMStrmServ*>(ParentServer());
    if (listener && listener->OnCaptureFailed)
        listener->OnCaptureFailed(*this, from);
}

std::unique_ptr<TStream> TNMStrmServ::NewContent(std::int64_t size, MemoryBudget::Share& share)
{
    auto* listener = static_cast<TNMStrmServ*>(ParentServer());
    if (listener && size <= spillThreshold) {
        share = listener->memory_.Take(size);
        if (share) {
            try {
                auto memory = std::make_unique<TMemoryStream>();
                // All of it at once: grown piece by piece, the block could
                // reach twice the content, and each move to a larger one
                // holds both.
                memory->Reserve(static_cast<std::size_t>(size));
                return memory;
            } catch (const std::bad_alloc&) {
                share = {};  // no block that large is free: a file will do
            }
        }
    }
    if (listener && !listener->SpillFolder.empty()) {
        try {
            return TFileStream::Temporary(listener->SpillFolder);
        } catch (const std::exception&) {
            // the folder takes no file now: the system's temporary folder
            // will do, and whoever stores the content says what fails
        }
    }
    return TFileStream::Temporary();
}
