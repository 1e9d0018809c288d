#include "tests/e2e/report.h"

#include <cstdio>
#include <cstdlib>

#include "tests/e2e/harness_text.h"

namespace morvane::e2e {
namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\n':
        out += "&#10;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

void WriteReport(const std::string& name, double seconds, const std::vector<std::string>& failures,
                 int cases) {
  const char* setting = std::getenv("GTEST_OUTPUT");
  if (setting == nullptr || std::string(setting).rfind("xml:", 0) != 0) {
    return;
  }
  std::string path = std::string(setting).substr(4);
  if (path.empty() || path.back() == '/' || path.back() == '\\') {
    path += name + ".xml";
  }
  FILE* file = _wfopen(WindowsPath(path).c_str(), L"wb");
  if (file == nullptr) {
    std::fprintf(stderr, "cannot write the report %s\n", path.c_str());
    return;
  }
  const int failed = failures.empty() ? 0 : 1;
  char time[32];
  std::snprintf(time, sizeof time, "%.3f", seconds);
  std::fprintf(file,
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<testsuites tests=\"%d\" failures=\"%d\" disabled=\"0\" errors=\"0\" "
               "time=\"%s\" name=\"AllTests\">\n",
               cases, failed, time);
  if (cases > 0) {
    std::fprintf(file,
                 "  <testsuite name=\"e2e\" tests=\"1\" failures=\"%d\" disabled=\"0\" "
                 "errors=\"0\" time=\"%s\">\n"
                 "    <testcase name=\"%s\" status=\"run\" result=\"completed\" time=\"%s\" "
                 "classname=\"e2e\">\n",
                 failed, time, Escaped(name).c_str(), time);
    for (const std::string& failure : failures) {
      std::fprintf(file, "      <failure message=\"%s\" type=\"\"/>\n", Escaped(failure).c_str());
    }
    std::fprintf(file, "    </testcase>\n  </testsuite>\n");
  }
  std::fprintf(file, "</testsuites>\n");
  std::fclose(file);
}

}  // namespace morvane::e2e
