// Build-time host tool: writes a C++ source that holds files as an array of string views.
//
//   embed_files <out.cpp> <header> <qualified::name> <file>...
//
// The generated source includes <header>, which declares the array with its size, so a file
// count that differs from the declaration fails to compile. Bytes are written as three-digit
// octal escapes in string literals: the array is constant-initialised (usable from any static
// initialiser) and compiles quickly even for large data.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

void WriteLiteral(std::ostream& out, const std::string& bytes) {
  constexpr std::size_t kBytesPerLine = 24;
  out << "std::string_view(\n";
  if (bytes.empty()) {
    out << "      \"\"";
  }
  for (std::size_t i = 0; i < bytes.size(); i += kBytesPerLine) {
    out << "      \"";
    for (std::size_t j = i; j < bytes.size() && j < i + kBytesPerLine; ++j) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned char>(bytes[j]));
      out << escape;
    }
    out << "\"";
    if (i + kBytesPerLine < bytes.size()) {
      out << "\n";
    }
  }
  out << ",\n      " << bytes.size() << ")";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::cerr << "usage: embed_files <out.cpp> <header> <qualified::name> <file>...\n";
    return 2;
  }
  const std::string out_path = argv[1];
  const std::string header = argv[2];
  const std::string qualified = argv[3];
  const auto split = qualified.rfind("::");
  if (split == std::string::npos) {
    std::cerr << "embed_files: the name must be namespace-qualified: " << qualified << "\n";
    return 2;
  }
  const std::string name_space = qualified.substr(0, split);
  const std::string name = qualified.substr(split + 2);

  std::ostringstream text;
  text << "// Generated at build time by embed_files. Do not edit.\n"
       << "#include \"" << header << "\"\n\n"
       << "#include <string_view>\n\n"
       << "namespace " << name_space << " {\n\n"
       << "const std::string_view " << name << "[" << (argc - 4) << "] = {\n";
  for (int i = 4; i < argc; ++i) {
    std::string bytes;
    if (!ReadWholeFile(argv[i], bytes)) {
      std::cerr << "embed_files: cannot read " << argv[i] << "\n";
      return 1;
    }
    text << "    ";
    WriteLiteral(text, bytes);
    text << ",\n";
  }
  text << "};\n\n}  // namespace " << name_space << "\n";

  std::ofstream out(out_path, std::ios::binary | std::ios::trunc);
  out << text.str();
  out.close();
  if (!out) {
    std::cerr << "embed_files: cannot write " << out_path << "\n";
    std::remove(out_path.c_str());
    return 1;
  }
  return 0;
}
