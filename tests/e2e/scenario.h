#pragma once

// A scenario: one plain-text file per end-to-end case. Each line is a verb and its words;
// blank lines and lines starting with '#' are ignored. Words are separated by spaces; a word in
// double quotes keeps its spaces (\" and \\ escape inside). The lines under a `click` or
// `ribbon` that start with `dialog` are the user's part while that command's window is open.
// A mistake in a file is reported with its line number before anything runs.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::e2e {

struct Word {
  std::string text;
  bool quoted = false;
  friend bool operator==(const Word&, const Word&) = default;
};

struct ScenarioLine {
  int number = 0;
  std::string verb;
  std::vector<Word> words;              // after the verb
  std::string rest;                     // everything after the verb, as written, trimmed
  std::vector<std::size_t> wordStarts;  // where each word begins in `rest`
  std::vector<ScenarioLine> dialog;

  // The words from `first` on as one text: the single quoted word unquoted, or the words as
  // written (so "type Sheet1 A1 hello  world" keeps its spacing).
  std::string TextFrom(std::size_t first) const;
};

struct Scenario {
  std::vector<ScenarioLine> lines;
};

class ScenarioError : public std::runtime_error {
 public:
  ScenarioError(int line, const std::string& message);
  int line() const { return line_; }

 private:
  int line_;
};

Scenario ParseScenario(std::string_view text);

}  // namespace morvane::e2e
