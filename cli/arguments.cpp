#include "cli/arguments.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace trapezola::cli {

Arguments::Arguments(const std::string& command, int argc, const char* const* argv, int first,
                     const std::vector<OptionRule>& options)
    : command_(command) {
  std::set<std::string> seen;
  for (int i = first; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      flags_.insert("help");
      continue;
    }
    if (arg.rfind("--", 0) != 0) throw UsageError(command_ + ": unexpected argument " + quoted(arg));
    // "--name=value" is "--name value" in one word; the value may hold '='.
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const OptionRule* option = nullptr;
    for (const OptionRule& s : options) {
      if (s.name == name) option = &s;
    }
    if (option == nullptr) {
      throw UsageError(command_ + ": unknown option " +
                       quoted(equals == std::string::npos ? arg : "--" + name));
    }
    // A second value would silently replace the first: a script that sets an
    // option twice has a fault that is better found now.
    if (!option->repeatable && !seen.insert(name).second) {
      throw UsageError(command_ + ": option --" + name + " is given more than once");
    }
    if (!option->takesValue) {
      if (equals != std::string::npos) throw UsageError(command_ + ": option --" + name + " takes no value");
      flags_.insert(name);
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else {
      if (i + 1 >= argc) throw UsageError(command_ + ": option --" + name + " needs a value");
      value = argv[++i];
    }
    values_[name] = value;
    if (option->repeatable) repeated_[name].push_back(value);
  }
}

const std::string& Arguments::text(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) throw UsageError(command_ + ": missing option --" + name);
  return it->second;
}

std::vector<std::string> Arguments::texts(const std::string& name) const {
  const auto it = repeated_.find(name);
  return it == repeated_.end() ? std::vector<std::string>{} : it->second;
}

void Arguments::refuse(const std::string& name, const std::string& why) const {
  throw UsageError(command_ + ": --" + name + " " + quoted(text(name)) + " " + why);
}

double Arguments::real(const std::string& name) const {
  double v = 0;
  if (!parseReal(text(name), v)) refuse(name, "is not a number");
  return v;
}

std::int64_t Arguments::integer(const std::string& name, std::int64_t minimum) const {
  const std::string& t = text(name);
  std::int64_t v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  const bool whole = !t.empty() && end == t.data() + t.size();
  // Out of range is still a whole number, only one the type cannot hold.
  if (whole && ec == std::errc::result_out_of_range) {
    if (t[0] == '-') refuse(name, "is below " + std::to_string(minimum));
    refuse(name, "is too large (the limit is " + std::to_string(std::numeric_limits<std::int64_t>::max()) + ")");
  }
  if (!whole || ec != std::errc()) refuse(name, "is not a whole number");
  if (v < minimum) refuse(name, "is below " + std::to_string(minimum));
  return v;
}

std::int64_t Arguments::colour(const std::string& name) const {
  const std::string& t = text(name);
  const bool hex = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
  const char* begin = t.data() + (hex ? 2 : 0);
  const char* end = t.data() + t.size();
  std::uint64_t v = 0;
  const auto [stop, ec] = std::from_chars(begin, end, v, hex ? 16 : 10);
  if (begin == end || stop != end || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
    refuse(name, "is not a colour (0x00BBGGRR, as 0x0000FF for red)");
  }
  if (ec == std::errc::result_out_of_range || v > 0xFFFFFF) refuse(name, "is beyond 0xFFFFFF");
  return static_cast<std::int64_t>(v);
}

bool parseReal(const std::string& text, double& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  // from_chars takes no leading '+'; a script may well write one.
  if (begin != end && *begin == '+') ++begin;
  const auto [stop, ec] = std::from_chars(begin, end, value, std::chars_format::general);
  return begin != end && ec == std::errc() && stop == end && std::isfinite(value);
}

}  // namespace trapezola::cli
