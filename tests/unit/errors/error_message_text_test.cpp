#include <string>
#include <utility>
#include <vector>

#include "errors/error_message_text.h"
#include "program_fixture.h"

namespace {

// A variable's value, made only when it is stored (no collector-owned value waits in a C++ container).
struct Field {
  Field(Sym v, const char* t) : ivar(v), text(t) {}
  Field(Sym v, std::int32_t n) : ivar(v), number(n) {}
  Field(Sym v, Usual u) : ivar(v), symbol(u) {}
  Sym ivar;
  const char* text = nullptr;
  std::int32_t number = 0;
  Usual symbol = NilValue();
  Usual Make() const {
    if (text) return StringValue(Psz2String(text));
    if (symbol.type == T_SYMBOL) return symbol;
    return IntValue(number);
  }
};
using Fields = std::vector<Field>;

class ErrorMessageTextTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_EQ(ModuleInit(), 0);
  }
  // An Error with every variable empty, then the ones given.
  Usual Error(const Fields& fields) {
    Usual args[2] = {SymbolValue(SYM_ERROR), IntValue(0)};
    Usual e = CreateInstance(CountWord(1, 2), args);
    IVarPut(AsObj(e), SYM_SUBSYSTEM, S(""));
    IVarPut(AsObj(e), SYM_SEVERITY, IntValue(2));
    for (const Field& f : fields) IVarPut(AsObj(e), f.ivar, f.Make());
    return e;
  }
  std::string Text(const Fields& fields) { return Str(ErrorMessageText(Error(fields))); }
  std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
  }
};

TEST_F(ErrorMessageTextTest, AnEmptyErrorIsOneLine) { EXPECT_EQ(Text({}), "Error Code:  \r\n"); }

TEST_F(ErrorMessageTextTest, FirstLineShowsTheCodeOrTheDescription) {
  std::string code21 = "21 [ " + Upper(Str(ErrString(21))) + " ]";
  EXPECT_EQ(Text({{SYM_GENCODE, 21}}), "Error Code:  " + code21 + "\r\n");
  EXPECT_EQ(Text({{SYM_GENCODE, 21}, {SYM_SEVERITY, 1}}), "WARNING :  " + code21 + "\r\n");
  EXPECT_EQ(Text({{SYM_DESCRIPTION, "Disk full"}}), "Error Code:  Disk full\r\nDescription: Disk full\r\n");
  EXPECT_EQ(Text({{SYM_DESCRIPTION, "Disk full"}, {SYM_SEVERITY, 1}}),
            "WARNING :  Disk full\r\nDescription: Disk full\r\n");
}

struct LineCase {
  const char* name;
  Fields fields;
  std::string lines;  // after the first line
};

TEST_F(ErrorMessageTextTest, EachLineOnlyWhenItsVariableCarriesSomething) {
  const std::string name60(60, 'n');
  const LineCase cases[] = {
      {"subsystem", {{SYM_SUBSYSTEM, "TB28RUN"}}, "Subsystem: TB28RUN\r\n"},
      {"subcode with text", {{SYM_SUBCODE, 7}, {SYM_SUBCODETEXT, "PCode"}}, "Error Subcode: 7 (PCode)\r\n"},
      {"subcode 5333 without text", {{SYM_SUBCODE, 5333}}, "Error Subcode: 5333\r\n"},
      {"subcode text alone", {{SYM_SUBCODETEXT, "PCode"}}, ""},
      {"operation", {{SYM_OPERATION, "Send"}}, "Operation: Send\r\n"},
      {"function", {{SYM_FUNCSYM, SymbolValue(SYM_DEFERROR)}}, "Function: DEFERROR\r\n"},
      {"filename of 60", {{SYM_FILENAME, name60.c_str()}}, "Filename: " + name60.substr(0, 40) + "\r\n"},
      {"argument and type", {{SYM_ARG, "x"}, {SYM_ARGTYPE, 7}}, "Argument: x\r\nType: " + Str(TypeString(7)) + "\r\n"},
      {"argument without type", {{SYM_ARG, "x"}}, "Argument: x\r\n"},
      {"type without argument", {{SYM_ARGTYPE, 7}}, ""},
      {"argument number", {{SYM_ARGNUM, 2}}, "Argument Number: 2\r\n"},
      {"requested type", {{SYM_ARGTYPEREQ, 5}, {SYM_ARGTYPE, 7}}, "Requested type: " + Str(TypeString(5)) + "\r\n"},
      {"requested equals actual", {{SYM_ARGTYPEREQ, 7}, {SYM_ARGTYPE, 7}}, ""},
  };
  for (const LineCase& c : cases) {
    Fields fields = c.fields;
    fields.push_back({SYM_GENCODE, 1});
    std::string text = Text(fields);
    std::string first = "Error Code:  1 [ " + Upper(Str(ErrString(1))) + " ]\r\n";
    ASSERT_EQ(text.substr(0, first.size()), first) << c.name;
    EXPECT_EQ(text.substr(first.size()), c.lines) << c.name;
  }
}

TEST_F(ErrorMessageTextTest, TheWrappedValueExampleHasFourLines) {
  std::string text =
      Text({{SYM_GENCODE, 28}, {SYM_FUNCSYM, SymbolValue(SYM_DEFERROR)}, {SYM_ARGNUM, 1}, {SYM_ARG, "42"}});
  EXPECT_EQ(text, "Error Code:  28 [ " + Upper(Str(ErrString(28))) +
                      " ]\r\nFunction: DEFERROR\r\nArgument: 42\r\nArgument Number: 1\r\n");
}

#if !defined(_WIN32)
TEST_F(ErrorMessageTextTest, NoteOnAnOlderRuntimeInMemory) {
  const std::string cause = "This may be the cause of the current runtime error !!\r\n\r\n";
  const std::string old = "\r\nPLEASE NOTE:\r\nThe old runtime KMTBRT20.DLL was found in memory\r\n";
  const std::string v27 = "\r\nPLEASE NOTE:\r\nThe Tarrow Builder 2.7 runtime file TB27RUN.DLL was found in memory\r\n";
  const std::string base = "Error Code:  \r\n";
  Win32TestPretendModuleLoaded("KMTBRT20.DLL", TRUE);
  EXPECT_EQ(Text({}), base + old + cause);
  Win32TestPretendModuleLoaded("TB27RUN.DLL", TRUE);
  EXPECT_EQ(Text({}), base + old + cause) << "both loaded: only the first is named, once";
  Win32TestPretendModuleLoaded("KMTBRT20.DLL", FALSE);
  EXPECT_EQ(Text({}), base + v27 + cause);
  Win32TestPretendModuleLoaded("TB27RUN.DLL", FALSE);
  EXPECT_EQ(Text({}), base);
}
#endif

}  // namespace
