#include "cli/parse_errors.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <regex>

#include "records/big5.hpp"

namespace qelm::cli {

namespace {

// The subcommand whose arguments were being read: the last one named.
const CLI::App& ActiveCommand(const CLI::App& app) {
  const CLI::App* active = &app;
  while (true) {
    const std::vector<CLI::App*> named = active->get_subcommands();
    if (named.empty()) return *active;
    active = named.back();
  }
}

std::string CommandLineName(const CLI::App& app, const CLI::App& command) {
  return &command == &app ? "qelm-report" : "qelm-report " + command.get_name();
}

std::string HelpPointer(const CLI::App& app, const CLI::App& command) {
  return "(見 " + CommandLineName(app, command) + " --help)";
}

// The option whose name the parser's message begins with ("--from: …",
// "pillars is required"), searched in the active subcommand, then the top.
const CLI::Option* OptionNamed(const CLI::App& app, const CLI::App& command, std::string_view message) {
  const CLI::Option* best = nullptr;
  std::size_t bestLength = 0;
  for (const CLI::App* in : {&command, &app}) {
    for (const CLI::Option* o : in->get_options()) {
      for (const std::string& name : {o->get_name(), o->get_name(true)}) {
        if (name.empty() || name.size() <= bestLength || message.substr(0, name.size()) != name) continue;
        if (message.size() > name.size() && message[name.size()] != ':' && message[name.size()] != ' ') continue;
        best = o;
        bestLength = name.size();
      }
    }
    if (best) return best;
  }
  return nullptr;
}

bool IsFlag(const CLI::Option& o) { return o.get_items_expected_max() == 0; }

bool Positional(const CLI::Option& o) { return o.get_lnames().empty() && o.get_snames().empty(); }

// "選項 --from" or "參數 pillars".
std::string Named(const CLI::Option& o) {
  return Positional(o) ? "參數 " + o.get_name(true) : "選項 " + o.get_name();
}

// The parts of the option's type text: its base type, then each check's
// description ("INT:INT in [1901 - 2099]", "TEXT:{clock,standard,solar}").
std::vector<std::string> TypeParts(const CLI::Option& o) {
  std::vector<std::string> parts;
  const std::string text = o.get_type_name();
  std::size_t from = 0;
  for (std::size_t colon; (colon = text.find(':', from)) != std::string::npos; from = colon + 1)
    parts.push_back(text.substr(from, colon - from));
  parts.push_back(text.substr(from));
  return parts;
}

std::string_view KindText(std::string_view type) {
  if (type == "INT") return "整數";
  if (type == "UINT") return "不小於 0 的整數";
  if (type == "FLOAT" || type == "NUMBER") return "數字";
  return {};
}

std::string OneOf(const std::vector<std::string>& values) {
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += i + 1 == values.size() ? " 或 " : "、";
    text += values[i];
  }
  return text;
}

}  // namespace

std::vector<std::string> AcceptedValues(const CLI::Option& option) {
  for (const std::string& part : TypeParts(option)) {
    if (part.size() < 2 || part.front() != '{' || part.back() != '}') continue;
    std::vector<std::string> values;
    const std::string inner = part.substr(1, part.size() - 2);
    std::size_t from = 0;
    for (std::size_t comma; (comma = inner.find(',', from)) != std::string::npos; from = comma + 1)
      values.push_back(inner.substr(from, comma - from));
    values.push_back(inner.substr(from));
    return values;
  }
  return {};
}

std::string AcceptedText(const CLI::Option& option) {
  if (IsFlag(option)) return {};
  if (const std::vector<std::string> values = AcceptedValues(option); !values.empty()) return OneOf(values);
  const std::vector<std::string> parts = TypeParts(option);
  static const std::regex range(R"(^(\w+) in \[(\S+) - (\S+)\]$)");
  for (const std::string& part : parts) {
    std::smatch m;
    if (!std::regex_match(part, m, range)) continue;
    std::string_view kind = KindText(m[1].str());
    return m[2].str() + " 至 " + m[3].str() + " 的" + std::string(kind.empty() ? "值" : kind);
  }
  return std::string(KindText(parts.front()));
}

std::string Echo(std::string_view typed, std::size_t characters) {
  const std::string_view start = records::FirstCharacters(typed, characters);
  return start.size() < typed.size() ? std::string(start) + "…" : std::string(typed);
}

std::string ShortQuotes(std::string_view message) {
  constexpr std::string_view open = "「", close = "」";
  std::string out;
  for (std::size_t from = 0;;) {
    const std::size_t at = message.find(open, from);
    const std::size_t end = at == std::string_view::npos ? at : message.find(close, at + open.size());
    if (end == std::string_view::npos) {
      out += message.substr(from);
      return out;
    }
    out += message.substr(from, at + open.size() - from);
    const std::string_view quoted = message.substr(at + open.size(), end - at - open.size());
    out += Echo(quoted, quoted.starts_with('/') ? kPathCharacters : kEchoCharacters);
    out += close;
    from = end + close.size();
  }
}

std::string ParseErrorText(const CLI::App& app, const CLI::ParseError& e) {
  const CLI::App& command = ActiveCommand(app);
  std::string message = e.what();
  // A value the option's type could not hold: "Could not convert: --x = …".
  constexpr std::string_view kConvert = "Could not convert: ";
  if (message.compare(0, kConvert.size(), kConvert) == 0) message.erase(0, kConvert.size());
  const CLI::Option* option = OptionNamed(app, command, message);
  const std::string help = HelpPointer(app, command);
  const auto accepts = [](const CLI::Option& o) {
    const std::string text = AcceptedText(o);
    return text.empty() ? std::string() : ",須為 " + text;
  };

  // An unknown option or a stray argument comes first: the parser may have
  // stopped at a missing argument that the user meant it to be.
  const std::vector<std::string> extras = app.remaining(true);
  const bool unknownOption = !extras.empty() && extras.front().size() > 1 && extras.front().front() == '-';
  const bool required = dynamic_cast<const CLI::RequiredError*>(&e) != nullptr;
  if (!extras.empty() && (unknownOption || required || dynamic_cast<const CLI::ExtrasError*>(&e))) {
    const std::string& first = extras.front();
    if (unknownOption) return CommandLineName(app, command) + " 沒有選項「" + Echo(first) + "」" + help;
    if (&command == &app) return "沒有子命令「" + Echo(first) + "」" + help;
    return CommandLineName(app, command) + " 不接受多餘的參數「" + Echo(first) + "」" + help;
  }
  if (required && !option) {
    std::vector<std::string> names;
    for (const CLI::App* s : app.get_subcommands([](const CLI::App* s) { return !s->get_group().empty(); }))
      names.push_back(s->get_name());
    return "請給一個子命令:" + OneOf(names) + help;
  }
  if (dynamic_cast<const CLI::RequiresError*>(&e)) {
    const std::size_t at = message.find(" requires ");
    if (at != std::string::npos)
      return "選項 " + message.substr(0, at) + " 須與 " + message.substr(at + 10) + " 一起使用" + help;
  }
  if (dynamic_cast<const CLI::ExcludesError*>(&e)) {
    const std::size_t at = message.find(" excludes ");
    if (at != std::string::npos)
      return "選項 " + message.substr(0, at) + " 與 " + message.substr(at + 10) + " 不能同時使用" + help;
  }
  if (option) {
    if (required) return "缺少" + Named(*option) + accepts(*option) + help;
    if (IsFlag(*option)) return Named(*option) + " 不帶值" + help;
    const CLI::results_t& given = option->results();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) &&
        static_cast<int>(given.size()) < option->get_items_expected_min())
      return Named(*option) + " 缺少值" + accepts(*option) + help;
    // A check of the program's own says in Chinese what is wrong: its words
    // (the value aside) are not the parser's ASCII.
    const std::string_view reason =
        std::string_view(message).substr(std::min(message.size(), option->get_name().size() + 2));
    std::string words(reason);
    for (const std::string& v : given)
      for (std::size_t at; !v.empty() && (at = words.find(v)) != std::string::npos;) words.erase(at, v.size());
    if (dynamic_cast<const CLI::ValidationError*>(&e) &&
        std::any_of(words.begin(), words.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
      return Named(*option) + ":" + ShortQuotes(reason) + accepts(*option) + help;
    if (dynamic_cast<const CLI::ValidationError*>(&e) || dynamic_cast<const CLI::ConversionError*>(&e)) {
      const std::string value = given.size() == 1 ? "「" + Echo(given.front()) + "」" : "的值";
      return Named(*option) + " 不接受" + value + accepts(*option) + help;
    }
    return Named(*option) + " 的值個數不對" + accepts(*option) + help;
  }
  return "無法解讀命令列" + help;
}

}  // namespace qelm::cli
