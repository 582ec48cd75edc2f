#include "PropertyFormat.h"

#include <array>

#include "Utf.h"

namespace {

struct FormatName {
  std::string_view Name;
  TextFormat Format;
};

constexpr std::array<FormatName, 5> kFormatNames{{
    {"ini", TextFormat::Ini},
    {"conf", TextFormat::Conf},
    {"vallines", TextFormat::ValLines},
    {"valtabs", TextFormat::ValTabs},
    {"valcsv", TextFormat::ValCsv},
}};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

TextFormat TextFormatFromName(std::string_view name) {
  for (const FormatName& entry : kFormatNames) {
    if (entry.Name == name) return entry.Format;
  }
  return TextFormat::Blocks;
}

bool IsXmlFormat(std::wstring_view outputFormat) { return outputFormat == L"xml"; }

bool WantProperty(std::string_view flags, const TObjectProperties& properties,
                  ObjectProperty id) {
  return IsSelected(flags, PropertySpec(id).Letter) && !IsEmptyProperty(properties, id);
}

void AppendProperty(std::wstring& text, TextFormat format, std::wstring_view key,
                    std::wstring_view value) {
  switch (format) {
    case TextFormat::Ini:
      text.append(key).append(L"=").append(value).append(L"\r\n");
      break;
    case TextFormat::Conf:
      text.append(key).append(L" \"").append(value).append(L"\"\r\n");
      break;
    case TextFormat::ValLines:
      text.append(value).append(L"\r\n");
      break;
    case TextFormat::ValTabs:
      text.append(value).append(L"\t");
      break;
    case TextFormat::ValCsv:
      text.append(value).append(L";");
      break;
    case TextFormat::Blocks:
      text.append(key).append(L":\r\n").append(value).append(L"\r\n\r\n");
      break;
  }
}

std::wstring FormatObjectText(const TObjectProperties& properties, std::string_view flags,
                              std::string_view formatName) {
  const TextFormat format = TextFormatFromName(formatName);
  std::wstring text;
  for (const TPropertySpec& spec : kObjectProperties) {
    if (WantProperty(flags, properties, spec.Id)) {
      AppendProperty(text, format, spec.TextKey, PropertyText(properties, spec.Id));
    }
  }
  return text;
}

bool IsValidUtf8(std::string_view bytes) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (lead < 0x80) {
      ++pos;
      continue;
    }
    size_t length = 0;
    uint32_t code = 0;
    uint32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
      smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
      smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
      smallest = 0x10000;
    } else {
      return false;
    }
    if (bytes.size() - pos < length) return false;
    for (size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(bytes[pos + i]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    pos += length;
  }
  return true;
}

std::wstring DecodeOutputFileText(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
  // Files this program writes always start with a mark; a file without one
  // came from elsewhere, and UTF-8 is far likelier than an ANSI text that
  // happens to be valid UTF-8.
  return DecodeText(bytes, [&decodeAnsi](std::string_view text) {
    return IsValidUtf8(text) ? Utf8ToUtf16(text) : decodeAnsi(text);
  });
}

std::string OutputFileBytes(std::optional<std::string_view> oldFile, std::wstring_view text,
                            const AnsiDecoder& decodeAnsi) {
  std::vector<std::wstring> lines;
  if (oldFile) lines = SplitLines(DecodeOutputFileText(*oldFile, decodeAnsi));
  lines.emplace_back(text);
  std::wstring joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += L"\r\n";
    joined += lines[i];
  }
  return std::string(kUtf8Bom) + Utf16ToUtf8(joined);
}

std::string XmlWithCrLfLineEnds(std::string_view serialized) {
  std::string out;
  out.reserve(serialized.size() + serialized.size() / 16);
  bool inTag = false;
  char quote = '\0';  // the quote of the value being read, or none
  for (size_t pos = 0; pos < serialized.size(); ++pos) {
    const char c = serialized[pos];
    if (quote != '\0') {
      if (c == quote) quote = '\0';
    } else if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && pos + 1 < serialized.size() && serialized[pos + 1] == '\n') ++pos;
      continue;
    } else if (c == '<') {
      inTag = true;
    } else if (c == '>') {
      inTag = false;
    } else if (inTag && (c == '"' || c == '\'')) {
      quote = c;
    }
    out += c;
  }
  return out;
}

std::string XmlConsoleBytes(std::string_view serialized) {
  std::string out = XmlWithCrLfLineEnds(serialized);
  if (!serialized.empty() && out.back() != '\n') out += "\r\n";
  return out + "\r\n";
}
