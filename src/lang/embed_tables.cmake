# Writes OUT, a C++ file holding the bytes of DIR/<code>.json for each code
# in CODES (separated by commas), for embedded_tables().
string(REPLACE "," ";" codes "${CODES}")
set(arrays "")
set(entries "")
foreach(code IN LISTS codes)
  file(READ "${DIR}/${code}.json" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  # 24 bytes a line.
  set(bytes "")
  set(offset 0)
  while(offset LESS hex_length)
    string(SUBSTRING "${hex}" ${offset} 48 chunk)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," chunk "${chunk}")
    string(APPEND bytes "    ${chunk}\n")
    math(EXPR offset "${offset} + 48")
  endwhile()
  string(MAKE_C_IDENTIFIER "k_${code}" name)
  string(APPEND arrays "const unsigned char ${name}[${size}] = {\n${bytes}};\n\n")
  string(APPEND entries "      {\"${code}\", text_of(${name})},\n")
endforeach()
file(WRITE "${OUT}.new" "// Generated from lang/*.json by embed_tables.cmake; do not edit.
#include <cstddef>

#include \"lang/tables.h\"

namespace lw {

namespace {

${arrays}template <size_t N>
std::string_view text_of(const unsigned char (&bytes)[N]) {
  return std::string_view(reinterpret_cast<const char*>(bytes), N);
}

}  // namespace

std::span<const EmbeddedTable> embedded_tables() {
  static const EmbeddedTable tables[] = {
${entries}  };
  return tables;
}

}  // namespace lw
")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
