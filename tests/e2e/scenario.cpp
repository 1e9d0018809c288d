#include "tests/e2e/scenario.h"

#include <algorithm>
#include <map>

namespace morvane::e2e {
namespace {

// How many words each verb takes (at least, at most), and whether dialog lines may follow it.
struct VerbRule {
  std::size_t least;
  std::size_t most;
  bool takesDialog = false;
};

constexpr std::size_t kAny = 1000;

const std::map<std::string, VerbRule, std::less<>>& Verbs() {
  static const std::map<std::string, VerbRule, std::less<>> verbs = {
      // Excel before and around the add-in.
      {"version", {1, 1}},
      {"workbook", {1, kAny}},
      {"type", {3, kAny}},
      {"formula", {4, 4}},
      {"fill", {3, kAny}},
      {"select", {1, 1}},
      {"ribbon-file", {1, 1}},
      {"guide-file", {1, 1}},  // present: the rendered guide lies beside the DLL
      // The add-in's life and the user's commands.
      {"start", {0, 0}},
      {"quit", {0, 0}},
      {"click", {1, kAny, true}},
      {"ribbon", {1, 1, true}},
      {"getcustomui", {0, 0}},
      {"reconnect", {2, 2}},
      {"screenshot", {1, 1}},
      {"high-contrast", {1, 1}},  // on or off, as the loaded add-in sees it
      {"print", {2, kAny}},
      {"say", {1, kAny}},
      {"expect", {1, kAny}},
  };
  return verbs;
}

// The user's actions while a command's window is open.
const std::map<std::string, VerbRule, std::less<>>& DialogVerbs() {
  static const std::map<std::string, VerbRule, std::less<>> verbs = {
      {"option", {1, kAny}},   // click an option button by its caption
      {"press", {1, kAny}},    // click a button by its caption; "... at write N" waits
      {"message", {1, 1}},     // a message box with this text is up: press its OK
      {"close", {1, 1}},       // close the window of this title with its close box
      {"wait", {1, 1}},        // the window of this title is up
      {"shows", {2, 2}},       // the window of this title shows this text in a control
      {"screenshot", {1, 1}},  // the screen, while the window is up
  };
  return verbs;
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

// Splits a line into words; `starts` receives where each word begins in the line.
std::vector<Word> Split(const std::string& line, int number, std::vector<std::size_t>& starts) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
      ++i;
    }
    if (i >= line.size()) {
      break;
    }
    starts.push_back(i);
    Word word;
    if (line[i] == '"') {
      word.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char c = line[i++];
        if (c == '\\' && i < line.size()) {
          word.text += line[i++];
        } else if (c == '"') {
          closed = true;
          break;
        } else {
          word.text += c;
        }
      }
      if (!closed) {
        throw ScenarioError(number, "unterminated quoted text");
      }
      if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        throw ScenarioError(number, "a quoted word must end at a space");
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        word.text += line[i++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace

ScenarioError::ScenarioError(int line, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}

std::string ScenarioLine::TextFrom(std::size_t first) const {
  if (first >= words.size()) {
    return {};
  }
  if (first + 1 == words.size() && words[first].quoted) {
    return words[first].text;
  }
  return Trim(std::string_view(rest).substr(wordStarts[first]));
}

Scenario ParseScenario(std::string_view text) {
  Scenario scenario;
  int number = 0;
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t end = std::min(text.find('\n', from), text.size());
    const std::string raw = Trim(text.substr(from, end - from));
    from = end + 1;
    ++number;
    if (raw.empty() || raw[0] == '#') {
      continue;
    }
    std::vector<std::size_t> starts;
    std::vector<Word> words = Split(raw, number, starts);
    ScenarioLine line;
    line.number = number;
    line.verb = words.front().text;
    words.erase(words.begin());
    line.words = std::move(words);
    line.rest = starts.size() > 1 ? Trim(std::string_view(raw).substr(starts[1])) : std::string();
    for (std::size_t k = 1; k < starts.size(); ++k) {
      line.wordStarts.push_back(starts[k] - starts[1]);
    }

    if (line.verb == "dialog") {
      if (line.words.empty()) {
        throw ScenarioError(number, "dialog needs an action");
      }
      if (scenario.lines.empty() || !Verbs().at(scenario.lines.back().verb).takesDialog) {
        throw ScenarioError(number, "dialog lines belong under a click or a ribbon command");
      }
      // The dialog's own verb is its first word.
      ScenarioLine action;
      action.number = number;
      action.verb = line.words.front().text;
      action.words.assign(line.words.begin() + 1, line.words.end());
      action.rest = starts.size() > 2 ? Trim(std::string_view(raw).substr(starts[2])) : "";
      for (std::size_t k = 2; k < starts.size(); ++k) {
        action.wordStarts.push_back(starts[k] - starts[2]);
      }
      const auto rule = DialogVerbs().find(action.verb);
      if (rule == DialogVerbs().end()) {
        throw ScenarioError(number, "unknown dialog action '" + action.verb + "'");
      }
      if (action.words.size() < rule->second.least || action.words.size() > rule->second.most) {
        throw ScenarioError(number, "wrong number of words for dialog '" + action.verb + "'");
      }
      scenario.lines.back().dialog.push_back(std::move(action));
      continue;
    }
    const auto rule = Verbs().find(line.verb);
    if (rule == Verbs().end()) {
      throw ScenarioError(number, "unknown verb '" + line.verb + "'");
    }
    if (line.words.size() < rule->second.least || line.words.size() > rule->second.most) {
      throw ScenarioError(number, "wrong number of words for '" + line.verb + "'");
    }
    scenario.lines.push_back(std::move(line));
  }
  return scenario;
}

}  // namespace morvane::e2e
