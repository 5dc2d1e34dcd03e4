// k58-radiosim: runs a simulated K58 radio on a pseudo-terminal so that a person can point the program at it.
//
//   k58-radiosim [--com N] [--pace] [--memory FILE] [--save FILE] [--type CODE] [--echo]
//                [--no-line-check] [--quiet] [--fault STEP:KIND[:ARG][@ADDR][*]]...
//
// It prints the line K58_COMn=/dev/pts/X; start the program with that variable in its environment and
// choose COMn. The radio answers until Ctrl-C. --save writes the radio's memory (368 bytes) at exit.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/sim/RadioSim.h"

namespace {

volatile sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

void Usage() {
  std::cerr << "usage: k58-radiosim [--com N] [--pace] [--memory FILE] [--save FILE] [--type CODE] [--echo]\n"
               "                    [--no-line-check] [--quiet] [--fault STEP:KIND[:ARG][@ADDR][*]]...\n"
               "  STEP: handshake ident ready read ack write end\n"
               "  KIND: silence delay:MS stray:HEX split:MS short:N long:HEX drop:INDEX wrong:CODE nak dup disconnect\n"
               "        insert:INDEX:HEX overwrite:INDEX:HEX instead:HEX\n"
               "  @ADDR limits a block fault to one address (0x.. or decimal); * repeats the fault every time\n";
}

std::vector<uint8_t> ParseHex(const std::string& text) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < text.size(); i += 2)
    out.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  return out;
}

bool ParseFault(std::string text, sim_test::Fault& f) {
  f.once = true;
  if (!text.empty() && text.back() == '*') {
    f.once = false;
    text.pop_back();
  }
  const size_t at = text.find('@');
  if (at != std::string::npos) {
    f.address = static_cast<int>(std::stoul(text.substr(at + 1), nullptr, 0));
    text.resize(at);
  }
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    const size_t colon = text.find(':', from);
    parts.push_back(text.substr(from, colon == std::string::npos ? std::string::npos : colon - from));
    if (colon == std::string::npos) break;
    from = colon + 1;
  }
  if (parts.size() < 2) return false;
  const std::string& step = parts[0];
  if (step == "handshake") f.step = sim_test::Step::Handshake;
  else if (step == "ident") f.step = sim_test::Step::Ident;
  else if (step == "ready") f.step = sim_test::Step::Ready;
  else if (step == "read") f.step = sim_test::Step::ReadBlock;
  else if (step == "ack") f.step = sim_test::Step::BlockAck;
  else if (step == "write") f.step = sim_test::Step::WriteBlock;
  else if (step == "end") f.step = sim_test::Step::End;
  else return false;
  const std::string& kind = parts[1];
  const std::string arg = parts.size() > 2 ? parts[2] : "";
  try {
    if (kind == "silence") f.kind = sim_test::FaultKind::Silence;
    else if (kind == "delay") { f.kind = sim_test::FaultKind::Delay; f.value = std::stoi(arg); }
    else if (kind == "stray") { f.kind = sim_test::FaultKind::Stray; f.bytes = ParseHex(arg); }
    else if (kind == "split") { f.kind = sim_test::FaultKind::Split; f.value = arg.empty() ? 10 : std::stoi(arg); }
    else if (kind == "short") { f.kind = sim_test::FaultKind::Short; f.value = arg.empty() ? 1 : std::stoi(arg); }
    else if (kind == "long") { f.kind = sim_test::FaultKind::Long; f.bytes = ParseHex(arg); }
    else if (kind == "drop") { f.kind = sim_test::FaultKind::Drop; f.value = arg.empty() ? 0 : std::stoi(arg); }
    else if (kind == "wrong") { f.kind = sim_test::FaultKind::WrongModel; f.bytes.assign(arg.begin(), arg.end()); }
    else if (kind == "nak") f.kind = sim_test::FaultKind::Nak;
    else if (kind == "dup") f.kind = sim_test::FaultKind::Duplicate;
    else if (kind == "disconnect") f.kind = sim_test::FaultKind::Disconnect;
    else if (kind == "insert" || kind == "overwrite") {
      // insert:<index>:<hex>, overwrite:<index>:<hex>
      f.kind = kind == "insert" ? sim_test::FaultKind::Insert : sim_test::FaultKind::Overwrite;
      f.value = std::stoi(arg);
      f.bytes = ParseHex(parts.size() > 3 ? parts[3] : "");
    }
    else if (kind == "instead") { f.kind = sim_test::FaultKind::Instead; f.bytes = ParseHex(arg); }
    else return false;
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

const char* StepName(sim_test::Step s) {
  switch (s) {
    case sim_test::Step::Handshake: return "handshake";
    case sim_test::Step::Ident: return "ident";
    case sim_test::Step::Ready: return "ready";
    case sim_test::Step::ReadBlock: return "read";
    case sim_test::Step::BlockAck: return "ack";
    case sim_test::Step::WriteBlock: return "write";
    case sim_test::Step::End: return "end";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  sim_test::Options options;
  int com = 20;
  std::string memoryFile, saveFile, typeCode;
  bool quiet = false;
  std::vector<sim_test::Fault> faults;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        Usage();
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--com") com = std::atoi(next().c_str());
    else if (a == "--pace") options.pace = true;
    else if (a == "--memory") memoryFile = next();
    else if (a == "--save") saveFile = next();
    else if (a == "--type") typeCode = next();
    else if (a == "--echo") options.echo = true;
    else if (a == "--no-line-check") options.checkLine = false;
    else if (a == "--quiet") quiet = true;
    else if (a == "--fault") {
      sim_test::Fault f;
      if (!ParseFault(next(), f)) {
        std::cerr << "k58-radiosim: bad fault \"" << argv[i] << "\"\n";
        Usage();
        return 2;
      }
      faults.push_back(f);
    } else {
      Usage();
      return a == "--help" || a == "-h" ? 0 : 2;
    }
  }
  if (com < 1 || com > 256) {
    std::cerr << "k58-radiosim: the COM number must be 1 to 256\n";
    return 2;
  }

  sim_test::RadioSim radio(options);
  if (!memoryFile.empty()) {
    std::ifstream in(memoryFile, std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    sim_test::Memory m{};
    if (data.size() == sim_test::kMemorySize) {
      std::copy(data.begin(), data.end(), m.begin());
    } else if (data.size() == 448) {  // a data file: radio addresses start at offset 16
      std::copy(data.begin() + 16, data.begin() + 16 + sim_test::kMemorySize, m.begin());
    } else {
      std::cerr << "k58-radiosim: " << memoryFile << " must hold 368 bytes of radio memory or a 448-byte data file\n";
      return 2;
    }
    radio.SetMemory(m);
  }
  if (!typeCode.empty()) radio.SetTypeCode(typeCode);
  for (const auto& f : faults) radio.AddFault(f);

  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  std::cout << radio.OverrideLine(com) << std::endl;
  if (!quiet)
    std::cout << "# start the program with that variable set and choose COM" << com << "; Ctrl-C ends the radio"
              << std::endl;

  size_t shown = 0;
  int lineErrors = 0;
  while (!g_stop) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (quiet) continue;
    const auto frames = radio.Frames();
    for (; shown < frames.size(); ++shown) {
      const auto& f = frames[shown];
      std::printf("%-9s", StepName(f.step));
      if (f.address >= 0) std::printf(" 0x%03X", f.address);
      std::printf("  (%zu bytes)\n", f.bytes.size());
    }
    const int errors = radio.LineErrors();
    if (errors != lineErrors) {
      lineErrors = errors;
      std::printf("input ignored: the line is %s, the radio expects %s\n", sim_test::Describe(radio.LastLine()).c_str(),
                  sim_test::Describe(sim_test::ExpectedLine()).c_str());
    }
    std::fflush(stdout);
  }

  if (!saveFile.empty()) {
    const sim_test::Memory m = radio.GetMemory();
    std::ofstream out(saveFile, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(m.data()), m.size());
    if (!out) {
      std::cerr << "k58-radiosim: cannot write " << saveFile << "\n";
      return 1;
    }
  }
  return 0;
}
