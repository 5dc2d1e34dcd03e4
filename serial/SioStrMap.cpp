#include "serial/SioStrMap.h"

#include <cstdlib>
#include <vector>

#include "platform/comm/CommApi.h"

namespace {

// The codes of the table as runs in table order; a run steps towards its last code.
struct Run {
  Integer first;
  Integer last;
};
const Run kRuns[] = {
    {0, 0},           {-2, -6},         {-8, -8},         {-15, -15},       {-18, -18},       {-100, -105},
    {-150, -162},     {-1001, -1009},   {-2001, -2012},   {-3001, -3010},   {-4001, -4017},   {-4020, -4021},
    {4101, 4101},     {4200, 4213},     {4301, 4312},     {4401, 4403},     {4500, 4523},     {4550, 4553},
    {4599, 4611},     {4630, 4633},     {4660, 4671},     {4700, 4728},     {4730, 4730},     {4801, 4808},
    {4820, 4828},     {4830, 4832},     {4840, 4843},     {-5001, -5003},   {-5501, -5506},   {-6001, -6016},
    {-7001, -7014},   {-7500, -7502},   {-8001, -8005},   {-8050, -8055},   {-8060, -8075},   {-8080, -8083},
    {-8085, -8085},   {-8087, -8092},   {-8100, -8103},   {-8300, -8305},   {-8310, -8318},   {-8320, -8322},
    {-8330, -8332},   {-8340, -8340},   {-8500, -8500},   {9001, 9007},     {10000, 10000},   {10004, 10004},
    {10009, 10009},   {10013, 10014},   {10022, 10022},   {10024, 10024},   {10035, 10071},   {10091, 10093},
    {10101, 10101},   {11001, 11004},   {13501, 13516},   {13533, 13557},   {13565, 13565},   {13597, 13601},
    {13650, 13670},   {-13801, -13803}, {-13805, -13848}, {-13850, -13886}, {-13928, -13932}, {13933, 13933},
    {-13934, -13945}, {-13950, -13959}, {-13980, -13980}, {15001, 15021},   {15100, 15351},   {15501, 15502},
    {15601, 15608},   {15700, 15742},
};

// Texts of the codes the system produces or prints.
struct Text {
  Integer code;
  const char* text;
};
const Text kTexts[] = {
    {0, "OK"},
    {-2, "File not found"},
    {-3, "Path not found"},
    {-4, "Too many open files"},
    {-5, "File access denied"},
    {-6, "Invalid file handle"},
    {-8, "Insufficient memory"},
    // I/O errors of text files (trace and log dumps).
    {-100, "Disk read error"},
    {-101, "Disk write error"},
    {-102, "File not assigned"},
    {-103, "File not open"},
    {-104, "File not open for input"},
    {-105, "File not open for output"},
    {-1002, "Bad argument passed to function"},
    {-2001, "ie_BadId - Specified comport doesn't exist"},
    {-2007, "ie_NOpen - device not open"},
    {-2008, "ie_Open - device already open"},
    {-2011, "The ComNumber property of the TSioComPort has not been set"},
    {-2012, "Comport was not opened by Tapi"},
    {-3001, "No device layer specified"},
    {-3004, "Failed to put entire block"},
    {-3006, "Output buffer too small for block"},
    {-3007, "Buffer is empty"},
    {-3010, "Base address not set"},
    // Dispatch log: kinds 0-20.
    {15001, "No event"},
    {15002, "Dispatch"},
    {15003, "Trigger"},
    {15004, "Error"},
    {15005, "Thread"},
    {15006, "TrigAllc"},
    {15007, "TrigDisp"},
    {15008, "TrgHdAlc"},
    {15009, "TrgHdDsp"},
    {15010, "TrDatChg"},
    {15011, "Telnet"},
    {15012, "Fax"},
    {15013, "XModem"},
    {15014, "YModem"},
    {15015, "ZModem"},
    {15016, "Kermit"},
    {15017, "Ascii"},
    {15018, "BPlus"},
    {15019, "Packet"},
    {15020, "User"},
    {15021, "Script"},
    // Dispatch log: the subkinds the dispatcher writes.
    {15101, "ReadCom"},
    {15102, "WriteCom"},
    {15105, "Avail"},
    {15116, "Avail"},
    {15117, "Window"},
    // Dispatch log: column titles and modem-status bit names.
    {15501, "Time      Type      SubType       Data      OtherData"},
    {15502, "--------  --------  ------------  --------  ---------"},
    {15601, "DCTS "},
    {15602, "DDSR "},
    {15603, "TERI "},
    {15604, "DDCD "},
    {15605, "CTS "},
    {15606, "DSR "},
    {15607, "RI "},
    {15608, "DCD "},
};

std::vector<SioMessageNumberLookupRecord> BuildTable() {
  std::vector<SioMessageNumberLookupRecord> table;
  table.reserve(kMessageTableSize);
  for (const Run& r : kRuns) {
    const Integer step = r.last >= r.first ? 1 : -1;
    for (Integer c = r.first;; c += step) {
      table.push_back({c, String()});
      if (c == r.last) break;
    }
  }
  for (const Text& t : kTexts)
    for (auto& rec : table)
      if (rec.Code == t.code) rec.Text = t.text;
  return table;
}

const std::vector<SioMessageNumberLookupRecord>& Table() {
  static const std::vector<SioMessageNumberLookupRecord> table = BuildTable();
  return table;
}

}  // namespace

const SioMessageNumberLookupRecord* MessageTable() { return Table().data(); }

String LookupMessage(SmallInt code) {
  const auto& table = Table();
  const Integer want = std::abs(static_cast<Integer>(code));
  Integer lo = 0;
  Integer hi = static_cast<Integer>(table.size()) - 1;
  while (hi >= lo) {
    // The midpoint rounds half to even.
    const Integer sum = lo + hi;
    Integer mid = sum / 2;
    if (sum % 2 != 0 && mid % 2 != 0) ++mid;
    const Integer have = std::abs(table[mid].Code);
    if (have == want) return table[mid].Text.substr(0, 255);
    if (have > want)
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  return String();
}

String CleanMessage(const String& s) {
  String out;
  out.reserve(s.size());
  for (char c : s) {
    const char b = static_cast<unsigned char>(c) < 32 ? ' ' : c;
    if (b == ' ' && !out.empty() && out.back() == ' ') continue;
    out.push_back(b);
  }
  return out;
}

String MessageText(Integer code) {
  String text = LookupMessage(static_cast<SmallInt>(code));
  if (!text.empty()) return text;
  // The operating system's message for the number.
  return CleanMessage(CommErrorText(static_cast<DWORD>(std::abs(code))).substr(0, 255));
}
