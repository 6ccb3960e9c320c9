#pragma once

#include <string>
#include <vector>

// Reading docs/activex.md the way a reader does, so that tests can hold the documented
// identifiers, code and output against the real ones.
namespace svctune::testing {

// The whole file, or empty text when it cannot be read.
std::string ReadTextFile(const std::string& path);

// The lines from the heading line to the next heading of the same or a higher level (not
// included), or empty text when there is no such heading.
std::string MarkdownSection(const std::string& document, const std::string& heading);

struct CodeBlock {
  std::string language;  // as written after the opening fence
  std::string text;      // the lines between the fences, each ended by '\n'
};
std::vector<CodeBlock> FencedCodeBlocks(const std::string& markdown);

// The block indented by four blanks that follows the first line ending with `lead`, without
// the indentation and with each line ended by '\n'; empty when there is none.
std::string IndentedBlockAfter(const std::string& markdown, const std::string& lead);

// The text split into lines, without their line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace svctune::testing
