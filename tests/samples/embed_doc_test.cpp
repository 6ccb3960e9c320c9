// What docs/activex.md tells the people who embed the controls is what the sources hold: the
// class table gives every class of the type libraries with its exact CLSID, and every piece
// of code it quotes is a part of the example it names, which the Windows tests run.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>

#include "markdown_text.h"

namespace svctune::testing {
namespace {

const char kUsingSection[] = "## Using the controls in your program";

std::string SourceFile(const std::string& relative) {
  return ReadTextFile(std::string(SVCTUNE_SOURCE_DIR) + "/" + relative);
}

// "Library.Class" to "{CLSID}" for every coclass of an .idl file.
std::map<std::string, std::string> ClassesOf(const std::string& idl) {
  std::map<std::string, std::string> classes;
  std::smatch library;
  if (!std::regex_search(idl, library, std::regex(R"(\blibrary\s+(\w+)\s*\{)"))) {
    return classes;
  }
  const std::regex coclass(R"(uuid\(([0-9A-Fa-f-]+)\)[^\]]*\]\s*coclass\s+(\w+))");
  for (std::sregex_iterator match(idl.begin(), idl.end(), coclass), end; match != end; ++match) {
    classes[library[1].str() + "." + (*match)[2].str()] = "{" + (*match)[1].str() + "}";
  }
  return classes;
}

// The rows of the section's class table: ProgID to CLSID, both as quoted.
std::map<std::string, std::string> DocumentedClasses(const std::string& section) {
  std::map<std::string, std::string> classes;
  const std::regex row(R"(\| `([^`]+)` \| `(\{[^`]+\})` \|.*)");
  for (const std::string& line : Lines(section)) {
    std::smatch cells;
    if (std::regex_match(line, cells, row)) {
      classes[cells[1].str()] = cells[2].str();
    }
  }
  return classes;
}

TEST(EmbedDocTest, ClassTableGivesEveryClassWithTheClsidOfItsTypeLibrary) {
  std::map<std::string, std::string> classes = ClassesOf(SourceFile("lamina/lamina.idl"));
  const std::map<std::string, std::string> vellum = ClassesOf(SourceFile("vellum/vellum.idl"));
  classes.insert(vellum.begin(), vellum.end());
  ASSERT_EQ(classes.count("Lamina.Button"), 1u);
  ASSERT_EQ(classes.count("Vellum.CorvidForm"), 1u);

  const std::string section = MarkdownSection(SourceFile("docs/activex.md"), kUsingSection);
  ASSERT_FALSE(section.empty());
  EXPECT_EQ(DocumentedClasses(section), classes);
}

TEST(EmbedDocTest, QuotedCodeIsPartOfTheExampleItComesFrom) {
  const std::map<std::string, std::string> examples{
      {"vb", SourceFile("samples/embed/controls.vbs")},
      {"cpp", SourceFile("samples/embed/atl_host.cpp")},
  };
  const std::string section = MarkdownSection(SourceFile("docs/activex.md"), kUsingSection);
  std::map<std::string, int> quoted;
  for (const CodeBlock& block : FencedCodeBlocks(section)) {
    const auto example = examples.find(block.language);
    ASSERT_NE(example, examples.end()) << "a code block of no example: " << block.language;
    ASSERT_FALSE(block.text.empty());
    // Whole lines of the file, in the file's order.
    EXPECT_NE(("\n" + example->second).find("\n" + block.text), std::string::npos)
        << "quoted as " << block.language << " but not in the example:\n"
        << block.text;
    ++quoted[block.language];
  }
  EXPECT_GT(quoted["vb"], 0);
  EXPECT_GT(quoted["cpp"], 0);
}

}  // namespace
}  // namespace svctune::testing
