// The styled document layout: JsonCpp's styled writer with a wider margin,
// per-value real precision, and the text appended to one growing string.
#include "devconfig/jsonhelpers.h"

#include <charconv>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const unsigned kRightMargin = 160;
const char kIndentUnit[] = "   ";
const size_t kIndentSize = sizeof(kIndentUnit) - 1;

// JsonCpp's UTF-8 decoding for escapes: malformed or overlong sequences
// become U+FFFD; `c` is left on the last byte consumed.
unsigned DecodeUtf8(const char*& c, const char* end) {
  const unsigned kReplacement = 0xFFFD;
  unsigned first = static_cast<unsigned char>(c[0]);
  if (first < 0x80)
    return first;
  if (first < 0xE0) {
    if (end - c < 2)
      return kReplacement;
    unsigned code = ((first & 0x1F) << 6) | (static_cast<unsigned char>(c[1]) & 0x3F);
    c += 1;
    return code < 0x80 ? kReplacement : code;
  }
  if (first < 0xF0) {
    if (end - c < 3)
      return kReplacement;
    unsigned code = ((first & 0x0F) << 12) | ((static_cast<unsigned char>(c[1]) & 0x3F) << 6) |
                    (static_cast<unsigned char>(c[2]) & 0x3F);
    c += 2;
    if (code >= 0xD800 && code <= 0xDFFF)
      return kReplacement;
    return code < 0x800 ? kReplacement : code;
  }
  if (first < 0xF8) {
    if (end - c < 4)
      return kReplacement;
    unsigned code = ((first & 0x07) << 18) | ((static_cast<unsigned char>(c[1]) & 0x3F) << 12) |
                    ((static_cast<unsigned char>(c[2]) & 0x3F) << 6) |
                    (static_cast<unsigned char>(c[3]) & 0x3F);
    c += 3;
    return code < 0x10000 ? kReplacement : code;
  }
  return kReplacement;
}

void AppendHexEscape(std::string* out, unsigned code) {
  static const char kHex[] = "0123456789abcdef";
  char escape[6] = {'\\', 'u', kHex[(code >> 12) & 15], kHex[(code >> 8) & 15],
                    kHex[(code >> 4) & 15], kHex[code & 15]};
  out->append(escape, sizeof(escape));
}

// Bytes written as they are: printable ASCII (and DEL) but the quote and
// the backslash. A table, since every byte of every name is looked up.
struct PlainBytes {
  bool plain[256];
  constexpr PlainBytes() : plain() {
    for (int u = 0x20; u < 0x80; ++u)
      plain[u] = u != '"' && u != '\\';
  }
};
constexpr PlainBytes kPlainBytes;

bool IsPlain(char c) {
  return kPlainBytes.plain[static_cast<unsigned char>(c)];
}

// The escaping of JsonCpp's writers: ASCII control characters and every
// non-ASCII code point as \u escapes, so the output is plain ASCII.
void AppendQuoted(std::string* out, const char* text, size_t length) {
  out->push_back('"');
  const char* end = text + length;
  for (const char* c = text; c != end; ++c) {
    // Runs of printable ASCII, nearly every name and text, go out whole.
    const char* run = c;
    while (c != end && IsPlain(*c))
      ++c;
    out->append(run, static_cast<size_t>(c - run));
    if (c == end)
      break;
    switch (*c) {
      case '"':
        out->append("\\\"");
        break;
      case '\\':
        out->append("\\\\");
        break;
      case '\b':
        out->append("\\b");
        break;
      case '\f':
        out->append("\\f");
        break;
      case '\n':
        out->append("\\n");
        break;
      case '\r':
        out->append("\\r");
        break;
      case '\t':
        out->append("\\t");
        break;
      default: {
        unsigned code = DecodeUtf8(c, end);
        if (code < 0x20) {
          AppendHexEscape(out, code);
        } else if (code < 0x80) {
          out->push_back(static_cast<char>(code));
        } else if (code < 0x10000) {
          AppendHexEscape(out, code);
        } else {
          code -= 0x10000;
          AppendHexEscape(out, 0xD800 + ((code >> 10) & 0x3FF));
          AppendHexEscape(out, 0xDC00 + (code & 0x3FF));
        }
        break;
      }
    }
  }
  out->push_back('"');
}

template <typename N>
void AppendDigits(std::string* out, N n) {
  char buffer[32];
  std::to_chars_result result = std::to_chars(buffer, buffer + sizeof(buffer), n);
  out->append(buffer, result.ptr);
}

bool HasComment(const Json::Value& v) {
  return v.hasComment(Json::commentBefore) || v.hasComment(Json::commentAfterOnSameLine) ||
         v.hasComment(Json::commentAfter);
}

class StyledDocumentWriter {
 public:
  explicit StyledDocumentWriter(unsigned rightMargin) : rightMargin_(rightMargin) {}

  std::string Write(const Json::Value& root, const std::vector<JsonMemberRef>* rootMembers = nullptr) {
    // Only the root object's own members are stand-ins; WriteObject takes
    // the list on its first call, which is the root's.
    rootMembers_ = root.isObject() ? rootMembers : nullptr;
    out_.reserve(4096);
    WriteCommentBefore(root);
    WriteValue(root);
    WriteCommentAfter(root);
    // A comment after the root already ends its line; keep one newline.
    while (!out_.empty() && out_.back() == '\n')
      out_.pop_back();
    out_.push_back('\n');
    return std::move(out_);
  }

 private:
  // Scalars and empty containers: the only values rendered ahead of time.
  static void AppendFlat(const Json::Value& v, Json::ValueType type, std::string* out) {
    switch (type) {
      case Json::nullValue:
        out->append("null");
        break;
      case Json::intValue:
        AppendDigits(out, v.asLargestInt());
        break;
      case Json::uintValue:
        AppendDigits(out, v.asLargestUInt());
        break;
      case Json::realValue:
        AppendJsonReal(out, v.asDouble(), JsonPrecision(v));
        break;
      case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        if (v.getString(&begin, &end))
          AppendQuoted(out, begin, static_cast<size_t>(end - begin));
        else
          out->append("\"\"");
        break;
      }
      case Json::booleanValue:
        out->append(v.asBool() ? "true" : "false");
        break;
      case Json::arrayValue:
        out->append("[]");
        break;
      case Json::objectValue:
        out->append("{}");
        break;
    }
  }

  void WriteValue(const Json::Value& v) {
    const Json::ValueType type = v.type();
    if (type == Json::objectValue && !v.empty())
      WriteObject(v);
    else if (type == Json::arrayValue && !v.empty())
      WriteArray(v);
    else
      AppendFlat(v, type, &out_);
  }

  // The value written for a member: its stand-in when it has one.
  static const Json::Value& MemberValue(const Json::Value& member, const char* name, const char* nameEnd,
                                        const std::vector<JsonMemberRef>* stands) {
    if (stands != nullptr) {
      const size_t length = static_cast<size_t>(nameEnd - name);
      for (const JsonMemberRef& stand : *stands) {
        if (strlen(stand.name) == length && memcmp(stand.name, name, length) == 0)
          return *stand.value;
      }
    }
    return member;
  }

  void WriteObject(const Json::Value& v) {
    const std::vector<JsonMemberRef>* stands = rootMembers_;
    rootMembers_ = nullptr;
    WriteWithIndent("{");
    Indent();
    // JsonCpp keeps members in byte order of their names.
    const Json::Value::const_iterator end = v.end();
    for (Json::Value::const_iterator it = v.begin(); it != end;) {
      const char* nameEnd = nullptr;
      const char* name = it.memberName(&nameEnd);
      const Json::Value& child = MemberValue(*it, name, nameEnd, stands);
      WriteCommentBefore(child);
      WriteIndent();
      AppendQuoted(&out_, name, static_cast<size_t>(nameEnd - name));
      out_.append(" : ");
      WriteValue(child);
      if (++it != end)
        out_.push_back(',');
      WriteCommentAfter(child);
    }
    Unindent();
    WriteWithIndent("}");
  }

  void WriteArray(const Json::Value& v) {
    const Json::ArrayIndex size = v.size();
    bool multiLine = 3ull * size >= rightMargin_;
    bool rendered = false;
    if (!multiLine) {
      // Elements are rendered on the way; a non-empty container among them
      // puts the array on several lines with nothing rendered ahead.
      flat_.clear();
      flatEnds_.clear();
      bool container = false;
      bool comment = false;
      JsonForEachElement(v, [&](Json::ArrayIndex, const Json::Value& child) {
        if (container)
          return;
        const Json::ValueType type = child.type();
        if ((type == Json::arrayValue || type == Json::objectValue) && !child.empty()) {
          container = true;
          return;
        }
        comment = comment || HasComment(child);
        AppendFlat(child, type, &flat_);
        flatEnds_.push_back(flat_.size());
      });
      // "[ " + ", " between elements + " ]"
      multiLine = container || comment || 2ull * (size + 1ull) + flat_.size() >= rightMargin_;
      if (!multiLine) {
        out_.append("[ ");
        for (Json::ArrayIndex i = 0; i < size; ++i) {
          if (i > 0)
            out_.append(", ");
          AppendFlatText(i);
        }
        out_.append(" ]");
        return;
      }
      rendered = !container;
    }

    WriteWithIndent("[");
    Indent();
    JsonForEachElement(v, [&](Json::ArrayIndex i, const Json::Value& child) {
      WriteCommentBefore(child);
      WriteIndent();
      // Pre-rendered elements are flat, so flat_ is not reused meanwhile.
      if (rendered)
        AppendFlatText(i);
      else
        WriteValue(child);
      if (i + 1 < size)
        out_.push_back(',');
      WriteCommentAfter(child);
    });
    Unindent();
    WriteWithIndent("]");
  }

  void AppendFlatText(Json::ArrayIndex i) {
    size_t begin = i == 0 ? 0 : flatEnds_[i - 1];
    out_.append(flat_, begin, flatEnds_[i] - begin);
  }

  // A new line unless the text already ends in the indentation (a member
  // name's " : ") or a newline left by a comment.
  void WriteIndent() {
    if (!out_.empty()) {
      char last = out_.back();
      if (last == ' ')
        return;
      if (last != '\n')
        out_.push_back('\n');
    }
    out_.append(indent_);
  }

  void WriteWithIndent(const char* text) {
    WriteIndent();
    out_.append(text);
  }

  void Indent() { indent_.append(kIndentUnit); }
  void Unindent() { indent_.resize(indent_.size() - kIndentSize); }

  void WriteCommentBefore(const Json::Value& v) {
    if (!v.hasComment(Json::commentBefore))
      return;
    out_.push_back('\n');
    WriteIndent();
    const std::string comment = v.getComment(Json::commentBefore);
    for (size_t i = 0; i < comment.size(); ++i) {
      out_.push_back(comment[i]);
      if (comment[i] == '\n' && i + 1 < comment.size() && comment[i + 1] == '/')
        WriteIndent();
    }
    out_.push_back('\n');
  }

  void WriteCommentAfter(const Json::Value& v) {
    if (v.hasComment(Json::commentAfterOnSameLine)) {
      const std::string comment = v.getComment(Json::commentAfterOnSameLine);
      // Trailing blanks would read as "already indented" and pull the next
      // member into a line comment.
      size_t length = comment.find_last_not_of(" \t");
      length = length == std::string::npos ? 0 : length + 1;
      out_.push_back(' ');
      out_.append(comment, 0, length);
    }
    if (v.hasComment(Json::commentAfter)) {
      out_.push_back('\n');
      out_.append(v.getComment(Json::commentAfter));
      out_.push_back('\n');
    }
  }

  unsigned rightMargin_;
  const std::vector<JsonMemberRef>* rootMembers_ = nullptr;
  std::string out_;
  std::string indent_;
  std::string flat_;
  std::vector<size_t> flatEnds_;
};

}  // namespace

std::string WriteStyledJson(const Json::Value& root) { return WriteStyledJson(root, kRightMargin); }

std::string WriteStyledJson(const Json::Value& root, unsigned rightMargin) {
  StyledDocumentWriter writer(rightMargin);
  return writer.Write(root);
}

std::string WriteStyledJson(const Json::Value& root, const std::vector<JsonMemberRef>& rootMembers) {
  StyledDocumentWriter writer(kRightMargin);
  return writer.Write(root, &rootMembers);
}
