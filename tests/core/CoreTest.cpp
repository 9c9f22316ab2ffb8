#include "CoreTest.h"

#include "app/ConsoleFace.h"

CoreTest::CoreTest() : m_previous(InstallTraceSink(this)) {
    EchoTraceToStderr(false);
}

CoreTest::~CoreTest() {
    InstallTraceSink(m_previous);
    EchoTraceToStderr(false);
}

void CoreTest::TearDown() {
    EXPECT_EQ(backend.liveChannels, 0) << "a channel was not given back";
    EXPECT_EQ(backend.livePipes, 0) << "a command pipe was not closed";
}

void CoreTest::Send(const char* text) {
    trace.emplace_back(text);
    traceTimes.push_back(Now());
}

fake::Printer& CoreTest::Plug(UsbType mode, std::string identity) {
    fake::Printer printer;
    printer.mode = mode;
    printer.identity = std::move(identity);
    return backend.Plug(std::move(printer));
}

int CoreTest::TraceCount(const std::string& text) const {
    int count = 0;
    for (const std::string& line : trace) {
        count += line.find(text) != std::string::npos ? 1 : 0;
    }
    return count;
}

std::vector<std::uint64_t> CoreTest::TraceTimes(const std::string& text) const {
    std::vector<std::uint64_t> times;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        if (trace[i].find(text) != std::string::npos) {
            times.push_back(traceTimes[i]);
        }
    }
    return times;
}

std::string CoreTest::Run(std::vector<std::string> args) {
    args.insert(args.begin(), "Orvane.exe");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    const int argc = static_cast<int>(argv.size());
    EchoTraceToStderr(WantsTrace(argc, argv.data()));
    ::testing::internal::CaptureStderr();
    const std::string output = Stdout([&] {
        // Orvane.exe with its dialog, or orvane on a system without one.
        ConsoleContext context{backend, withDialog ? "Orvane" : "orvane", "1.0.0.8",
                               stderrIsConsole, withDialog};
        context.log = &log;
        if (withDialog) {
            exitCode =
                RunSwitches(context, ParseSwitches(argc, argv.data(), SwitchConventions::Windows));
        } else {
            exitCode =
                RunConsoleOnly(context, ParseSwitches(argc, argv.data(), SwitchConventions::Posix));
        }
    });
    errors = ::testing::internal::GetCapturedStderr();
    EchoTraceToStderr(false);
    return output;
}
