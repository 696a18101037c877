#include "pe_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "lower.h"

namespace play {

namespace {

// The file's bytes, read with every offset checked: a truncated or hostile
// file is an error, never a read past its end.
class Image {
 public:
  explicit Image(std::vector<char> bytes) : bytes_(std::move(bytes)) {}

  template <typename T>
  T at(uint64_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) throw Bad{};
    T value{};
    std::memcpy(&value, bytes_.data() + offset, sizeof(T));
    return value;
  }
  std::string text(uint64_t offset) const {
    if (offset >= bytes_.size()) throw Bad{};
    const auto from = bytes_.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto end = std::find(from, bytes_.end(), '\0');
    if (end == bytes_.end()) throw Bad{};
    return {from, end};
  }

  struct Section {
    uint32_t address, size, file_offset;
  };
  std::vector<Section> sections;

  // Where a relative virtual address lies in the file.
  uint64_t offset_of(uint32_t rva) const {
    for (const Section& s : sections) {
      if (rva >= s.address && rva - s.address < s.size)
        return uint64_t{s.file_offset} + rva - s.address;
    }
    throw Bad{};
  }
  std::string text_at(uint32_t rva) const { return text(offset_of(rva)); }

  struct Bad {};

 private:
  std::vector<char> bytes_;
};

}  // namespace

PeTables read_pe_tables(const std::string& path) {
  PeTables tables;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    tables.error = "cannot be read";
    return tables;
  }
  Image image{
      std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
  try {
    if (image.at<uint16_t>(0) != 0x5A4D) throw Image::Bad{};  // "MZ"
    const uint32_t pe = image.at<uint32_t>(0x3C);
    if (image.at<uint32_t>(pe) != 0x00004550) throw Image::Bad{};  // "PE\0\0"
    const uint64_t coff = pe + 4;
    const uint16_t section_count = image.at<uint16_t>(coff + 2);
    const uint16_t optional_size = image.at<uint16_t>(coff + 16);
    const uint64_t optional = coff + 20;
    const bool wide = image.at<uint16_t>(optional) == 0x20B;  // PE32+, 64-bit
    const uint64_t directories = optional + (wide ? 112 : 96);
    const uint32_t directory_count = image.at<uint32_t>(directories - 4);
    for (uint16_t n = 0; n < section_count; ++n) {
      const uint64_t s = optional + optional_size + uint64_t{n} * 40;
      const uint32_t virtual_size = image.at<uint32_t>(s + 8);
      const uint32_t raw_size = image.at<uint32_t>(s + 16);
      image.sections.push_back({image.at<uint32_t>(s + 12),
                                virtual_size < raw_size ? virtual_size : raw_size,
                                image.at<uint32_t>(s + 20)});
    }
    const auto directory = [&](uint32_t n) {
      return n < directory_count ? image.at<uint32_t>(directories + uint64_t{n} * 8) : 0;
    };
    if (const uint32_t exports = directory(0); exports != 0) {
      const uint64_t e = image.offset_of(exports);
      const uint32_t names = image.at<uint32_t>(e + 24);
      const uint32_t name_table = image.at<uint32_t>(e + 32);
      for (uint32_t n = 0; n < names; ++n) {
        const uint32_t name = image.at<uint32_t>(image.offset_of(name_table) + uint64_t{n} * 4);
        tables.exports.push_back(image.text_at(name));
      }
    }
    if (const uint32_t imports = directory(1); imports != 0) {
      // Descriptors of 20 bytes, up to one of zeros.
      for (uint64_t d = image.offset_of(imports);; d += 20) {
        const uint32_t lookup = image.at<uint32_t>(d);
        const uint32_t name = image.at<uint32_t>(d + 12);
        const uint32_t bound = image.at<uint32_t>(d + 16);
        if (name == 0 && lookup == 0 && bound == 0) break;
        auto& names = tables.imports[image.text_at(name)];
        const uint64_t thunks = image.offset_of(lookup != 0 ? lookup : bound);
        for (uint64_t t = thunks;; t += wide ? 8 : 4) {
          const uint64_t thunk = wide ? image.at<uint64_t>(t) : image.at<uint32_t>(t);
          if (thunk == 0) break;
          const uint64_t by_ordinal = wide ? uint64_t{1} << 63 : uint64_t{1} << 31;
          if ((thunk & by_ordinal) != 0) {
            names.emplace_back("#");
            names.back() += std::to_string(thunk & 0xFFFF);
          } else {
            names.push_back(image.text_at(static_cast<uint32_t>(thunk) + 2));  // after the hint
          }
        }
      }
    }
  } catch (const Image::Bad&) {
    tables.error = "is not a readable PE file";
  }
  return tables;
}

// The DLL names in a folder, in lower case: Windows does not tell case apart.
static std::set<std::string> dlls_in(const std::filesystem::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.insert(lower(entry.path().filename().string()));
  }
  return names;
}

std::vector<std::string> unresolved_imports(const std::string& plugin,
                                            const std::vector<std::string>& host_exports,
                                            const std::string& wine_dll_dir) {
  const std::string name = std::filesystem::path(plugin).filename().string();
  const PeTables tables = read_pe_tables(plugin);
  if (!tables.error.empty()) return {name + " " + tables.error};
  const std::set<std::string> exported(host_exports.begin(), host_exports.end());
  const std::set<std::string> beside = dlls_in(std::filesystem::path(plugin).parent_path().empty()
                                                   ? std::filesystem::path(".")
                                                   : std::filesystem::path(plugin).parent_path());
  const std::set<std::string> wine = dlls_in(wine_dll_dir);
  std::vector<std::string> problems;
  for (const auto& [dll, names] : tables.imports) {
    const std::string key = lower(dll);
    if (key == "scripthookrdr2.dll") {
      for (const std::string& n : names) {
        if (exported.count(n) == 0) {
          std::string problem = name;
          problem.append(" imports ").append(n).append(" from ").append(dll);
          problems.push_back(problem.append(", which the host does not export"));
        }
      }
    } else if (beside.count(key) == 0 && wine.count(key) == 0 && key.rfind("api-ms-win-", 0) != 0 &&
               key.rfind("ext-ms-", 0) != 0) {
      // wine resolves the API sets' names itself
      std::string problem = name;
      problems.push_back(problem.append(" imports ").append(dll).append(", which cannot be found"));
    }
  }
  return problems;
}

}  // namespace play
