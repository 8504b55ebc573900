#include "shell/command_line.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "db/stock_code.h"
#include "platform/host.h"
#include "platform/command_ids.h"
#include "shell/shell_state.h"

int SplitArgs(const char* text, char out[ARG_MAX_TOKENS][ARG_TOKEN_BYTES]) {
  int count = 0;
  const char* p = text;
  while (*p && count < ARG_MAX_TOKENS) {
    while (*p == ' ') ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && *p != ' ') ++p;
    size_t len = static_cast<size_t>(p - start);
    if (len >= ARG_TOKEN_BYTES - 1) continue;  // 255 characters or more: skipped
    std::memcpy(out[count], start, len);
    out[count][len] = '\0';
    ++count;
  }
  return count;
}

int ParseStartOptions(const char* text) {
  char line[256];
  std::strncpy(line, text ? text : "", 255);
  line[255] = '\0';
  char tokens[ARG_MAX_TOKENS][ARG_TOKEN_BYTES];
  int n = SplitArgs(line, tokens);
  for (int i = 0; i < n; ++i) {
    if (std::strncmp(tokens[i], "-C", 2) == 0) StartCode = String_to_Code(tokens[i] + 2);
    else if (std::strncmp(tokens[i], "-D", 2) == 0) StartAshi = std::atoi(tokens[i] + 2);
  }
  return n;
}

void PostStartCommands() {
  if (StartCode >= 1001 && StartCode <= CODE_MAX) {
    if (StartCode + IDM_SELECT_STOCK_BASE <= IDM_SELECT_STOCK_LAST) HostPostCommand(StartCode + IDM_SELECT_STOCK_BASE);
    else HostPostCommand(IDM_SELECT_CODE, StartCode);
  }
  static const int kAshiCommand[] = {0, IDM_ASHI_DAILY, IDM_ASHI_WEEKLY, IDM_ASHI_MONTHLY};
  if (StartAshi >= 1 && StartAshi <= 3) HostPostCommand(kAshiCommand[StartAshi]);
}

void TakeHandedOffOptions(const char* text) {
  StartCode = 0;
  StartAshi = 0;
  ParseStartOptions(text);
  PostStartCommands();
}

namespace {

bool IsDigits(const std::string& s) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// "-C" with its code text: a code from 1001 to 9Y99.
bool CheckStartCode(const std::string& rest, std::string* error) {
  const int32_t code = String_to_Code(rest.c_str());
  if (code >= 1001 && code <= CODE_MAX) return true;
  *error = "-C: '" + rest + "' is not a stock code (four characters, 1001 to 9Y99)";
  return false;
}

bool CheckStartAshi(const std::string& rest, std::string* error) {
  if (rest == "1" || rest == "2" || rest == "3") return true;
  *error = "-D: 1, 2 or 3 expected, not '" + rest + "'";
  return false;
}

// One long option with its value; false with *error naming it when the value is bad.
bool TakeLongOption(const std::string& name, const std::string& v, ProgramOptions* o, std::string* error) {
  auto bad = [&](const std::string& what) {
    *error = name + ": " + what + ", not '" + v + "'";
    return false;
  };
  if (name == "--screenshot") {
    if (v.empty()) return bad("a file name expected");
    o->screenshot = v;
  } else if (name == "--print-pdf") {
    if (v.empty()) return bad("a file name expected");
    o->print_pdf = v;
  } else if (name == "--keys") {
    o->keys = v;
  } else if (name == "--commands") {
    o->commands.clear();
    size_t from = 0;
    while (from <= v.size()) {
      size_t comma = v.find(',', from);
      if (comma == std::string::npos) comma = v.size();
      const std::string id = v.substr(from, comma - from);
      if (!IsDigits(id) || std::atoi(id.c_str()) == 0) return bad("command numbers separated by commas expected");
      o->commands.push_back(std::atoi(id.c_str()));
      from = comma + 1;
    }
  } else if (name == "--code") {
    const int32_t code = String_to_Code(v.c_str());
    if (code < 1001 || code > CODE_MAX) return bad("a four-character stock code expected");
    o->code = v;
  } else if (name == "--ashi") {
    if (v != "1" && v != "2" && v != "3") return bad("1, 2 or 3 expected");
    o->ashi = v[0] - '0';
  } else if (name == "--scheme") {
    o->scheme = SchemeIndexOfName(v);
    if (o->scheme < 0) return bad("kuro, shiro, kon (or 0, 1, 2) expected");
  } else if (name == "--size") {
    const size_t x = v.find('x');
    const std::string w = x == std::string::npos ? "" : v.substr(0, x), h = x == std::string::npos ? "" : v.substr(x + 1);
    const int wi = IsDigits(w) ? std::atoi(w.c_str()) : 0, hi = IsDigits(h) ? std::atoi(h.c_str()) : 0;
    if (wi < 1 || hi < 1 || wi > SHOT_SIZE_MAX || hi > SHOT_SIZE_MAX)
      return bad("WIDTHxHEIGHT from 1x1 to " + std::to_string(SHOT_SIZE_MAX) + "x" + std::to_string(SHOT_SIZE_MAX) +
                 " expected");
    o->width = wi;
    o->height = hi;
  }
  return true;
}

const char* const kValueOptions[] = {"--screenshot", "--print-pdf", "--keys", "--commands", "--code", "--ashi", "--scheme", "--size"};

}  // namespace

int SchemeIndexOfName(const std::string& name) {
  // The kanji as UTF-8 bytes: the command line is not CP932.
  const auto u8 = [](const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); };
  if (name == u8(u8"黒") || name == "kuro" || name == "0") return 0;
  if (name == u8(u8"白") || name == "shiro" || name == "1") return 1;
  if (name == u8(u8"紺") || name == "kon" || name == "2") return 2;
  return -1;
}

bool ParseProgramOptions(int argc, const char* const* argv, ProgramOptions* out, std::string* error) {
  *out = ProgramOptions{};
  error->clear();
  std::string shot_only;  // the first picture option, which needs --screenshot or --print-pdf
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i] ? argv[i] : "";
    if (a == "--help" || a == "-h") {
      out->help = true;
    } else if (a == "--version") {
      out->version = true;
    } else if (a.rfind("-C", 0) == 0 || a.rfind("-D", 0) == 0) {
      if (!(a[1] == 'C' ? CheckStartCode(a.substr(2), error) : CheckStartAshi(a.substr(2), error))) return false;
      out->start_options += (out->start_options.empty() ? "" : " ") + a;
    } else if (a.rfind("--", 0) == 0) {
      // "--name value" or "--name=value".
      const size_t eq = a.find('=');
      const std::string name = a.substr(0, eq);
      bool known = false;
      for (const char* o : kValueOptions) known |= name == o;
      if (!known) {
        *error = "unknown option '" + a + "'";
        return false;
      }
      std::string value;
      if (eq != std::string::npos) {
        value = a.substr(eq + 1);
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        *error = name + ": a value expected";
        return false;
      }
      if (!TakeLongOption(name, value, out, error)) return false;
      if (name != "--screenshot" && name != "--print-pdf" && shot_only.empty()) shot_only = name;
    } else if (a.rfind('-', 0) == 0) {
      *error = "unknown option '" + a + "'";
      return false;
    }
    // Other words on the command line are ignored, as the start-up has always done.
  }
  if (!shot_only.empty() && !out->Unattended() && !out->help && !out->version) {
    *error = shot_only + ": only with --screenshot FILE or --print-pdf FILE";
    return false;
  }
  return true;
}

std::string ProgramUsageText() {
  return std::string(
      "usage: Vurn [-C<code>] [-D<1|2|3>]\n"
      "       Vurn --screenshot FILE [--code CODE] [--ashi 1|2|3] [--scheme NAME] [--size WxH]\n"
      "                              [--commands ID,ID,...] [--keys TEXT] [--print-pdf FILE]\n"
      "       Vurn --print-pdf FILE [the picture options above]\n"
      "       Vurn --help | --version\n"
      "\n"
      "  -C<code>           show the stock with this four-character code (for example -C7203)\n"
      "  -D<1|2|3>          show daily, weekly or monthly bars\n"
      "                     With -C or -D, a running Kivora takes the options and this start ends.\n"
      "  --screenshot FILE  render the windows to a PNG once started, then end (saves no settings)\n"
      "  --print-pdf FILE   print the chart to this PDF as the print command does, then end\n"
      "                     (saves no settings)\n"
      "  --code CODE        the stock of the picture\n"
      "  --ashi 1|2|3       daily, weekly or monthly bars in the picture\n"
      "  --scheme NAME      colour scheme: kuro, shiro, kon (or 0, 1, 2)\n"
      "  --size WxH         main window size, up to ") +
         std::to_string(SHOT_SIZE_MAX) + "x" + std::to_string(SHOT_SIZE_MAX) +
         "\n"
         "  --commands ID,...  run these commands first (indicator and overlay toggles)\n"
         "  --keys TEXT        type these keys into the main window first (a blank is Space)\n"
         "  --help             print this text and end\n"
         "  --version          print the version and end\n"
         "\n"
         "Nobody answers in a --screenshot or --print-pdf run: a box is answered No or Cancel, and\n"
         "a dialog is closed with Cancel once it has been shown (the picture shows the dialog the\n"
         "last command opened), so the run always ends and changes no data.\n"
         "\n"
         "Exit codes: 0 done, 1 the picture or the PDF could not be written (or no database),\n"
         "2 an unknown option or a bad option value.\n";
}
