#include "markdown_text.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace svctune::testing {
namespace {

constexpr char kFence[] = "```";
constexpr char kIndent[] = "    ";

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The number of '#' that open a heading line; 0 for any other line.
std::size_t HeadingLevel(const std::string& line) {
  const std::size_t level = line.find_first_not_of('#');
  return level != std::string::npos && level > 0 && line[level] == ' ' ? level : 0;
}

}  // namespace

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::string MarkdownSection(const std::string& document, const std::string& heading) {
  const std::size_t level = HeadingLevel(heading);
  std::string section;
  bool inside = false;
  bool inCode = false;
  for (const std::string& line : Lines(document)) {
    if (StartsWith(line, kFence)) {
      inCode = !inCode;
    }
    const std::size_t lineLevel = inCode ? 0 : HeadingLevel(line);
    if (inside && lineLevel > 0 && lineLevel <= level) {
      break;
    }
    inside = inside || line == heading;
    if (inside) {
      section += line + '\n';
    }
  }
  return section;
}

std::vector<CodeBlock> FencedCodeBlocks(const std::string& markdown) {
  std::vector<CodeBlock> blocks;
  bool inside = false;
  for (const std::string& line : Lines(markdown)) {
    if (StartsWith(line, kFence)) {
      inside = !inside;
      if (inside) {
        blocks.push_back({line.substr(sizeof kFence - 1), {}});
      }
    } else if (inside) {
      blocks.back().text += line + '\n';
    }
  }
  return blocks;
}

std::string IndentedBlockAfter(const std::string& markdown, const std::string& lead) {
  const std::vector<std::string> lines = Lines(markdown);
  std::size_t i = 0;
  while (i < lines.size() && !EndsWith(lines[i], lead)) {
    ++i;
  }
  for (++i; i < lines.size() && lines[i].empty(); ++i) {
  }
  std::string block;
  for (; i < lines.size() && StartsWith(lines[i], kIndent); ++i) {
    block += lines[i].substr(sizeof kIndent - 1) + '\n';
  }
  return block;
}

}  // namespace svctune::testing
