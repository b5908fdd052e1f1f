// Sends or receives one stream transfer with the Windows components, for the
// interoperability test with a peer of another platform:
//   StreamTool send PORT NAME FILE      sends FILE as NAME to 127.0.0.1:PORT
//   StreamTool receive PORT OUTFILE     takes one transfer, prints its name
#include "transfer/NMSTRM.h"
#include "transfer/NMSTRMServ.h"
#include "winui/Application.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

int main(int argc, char** argv)
{
    winui::Application app;
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "send" && argc == 5) {
            TNMStrm sender;
            sender.Host = "127.0.0.1";
            sender.Port = std::atoi(argv[2]);
            sender.FromName = argv[3];
            TFileStream file(argv[4], TFileStream::Mode::OpenRead);
            std::string reply;
            sender.PostStream(file, reply);
            return reply == "OK              " ? 0 : 2;
        }
        if (mode == "receive" && argc == 4) {
            TNMStrmServ receiver;
            receiver.Port = std::atoi(argv[2]);
            std::mutex lock;
            std::string name;
            bool done = false;
            const std::string out = argv[3];
            receiver.OnMSG = [&](TNMStrmServ&, const std::string& from, TStream& strm) {
                TFileStream file(out, TFileStream::Mode::Create);
                std::string buffer(65536, '\0');
                for (std::size_t n; (n = strm.Read(buffer.data(), buffer.size())) > 0;)
                    file.Write(buffer.data(), n);
                std::lock_guard<std::mutex> guard(lock);
                name = from;
                done = true;
            };
            receiver.Listen();
            std::printf("listening\n");
            std::fflush(stdout);
            for (int i = 0; i < 30000; ++i) {
                {
                    std::lock_guard<std::mutex> guard(lock);
                    if (done && receiver.SessionCount() == 0)
                        break;
                }
                winui::ProcessMessages();
                ::Sleep(2);
            }
            std::printf("%s\n", name.c_str());
            return done ? 0 : 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: StreamTool send PORT NAME FILE | receive PORT OUTFILE\n");
    return 64;
}
