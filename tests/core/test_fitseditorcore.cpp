// The header editor's rules that live in the core: the value limit it shares with the card
// writer, quotes in typed strings, and headers holding cards without a value.
#include <gtest/gtest.h>

#include "core/UErrors.h"
#include "core/UFitsBess.h"
#include "core/USpec32.h"
#include "shell/UFitsEditorCore.h"

namespace {

std::string Pad80(const std::string &S) {
  std::string R = S;
  R.resize(80, ' ');
  return R;
}

// Every value the editor accepts makes a card; every value the card cannot hold is refused
// with "Value too long: ", never with an internal error.
TEST(FitsEditorCore, OneLimitWithTheCardWriter) {
  struct Row {
    std::string Key, Value;
    int Typ;
    bool Accepted;
  } Rows[] = {{"OBJNAME", std::string(68, 'a'), ctString, true},
              {"OBJNAME", std::string(69, 'a'), ctString, false},
              {"OBJNAME", std::string(70, 'a'), ctString, false}, // once accepted, then an internal error
              {"OBJNAME", "'" + std::string(68, 'a') + "'", ctString, true},
              {"OBJNAME", "a" + std::string(33, '\'') + "b", ctString, true}, // 68 with quotes doubled
              {"OBJNAME", "a" + std::string(34, '\'') + "b", ctString, false},
              {"AIRMASS", "1" + std::string(19, '0'), ctFloating, true},
              {"AIRMASS", "1" + std::string(20, '0'), ctFloating, false},
              {"HISTORY", std::string(71, 'h'), ctNone, true},
              {"HISTORY", std::string(72, 'h'), ctNone, false}};
  for (const Row &R : Rows) {
    try {
      TEditedCard C = ComposeEditedCard(R.Key, R.Value, "", R.Typ);
      EXPECT_TRUE(R.Accepted) << R.Value;
      EXPECT_EQ(C.Card.size(), 80u);
    } catch (const EOrvaError &E) {
      EXPECT_FALSE(R.Accepted) << R.Value;
      EXPECT_EQ(std::string(E.what()), "Value too long: " + R.Value);
    }
  }
}

TEST(FitsEditorCore, QuotesTypedInStrings) {
  TEditedCard C = ComposeEditedCard("OBSERVER", "d'Artagnan", "", ctString);
  EXPECT_EQ(C.Card, Pad80("OBSERVER= 'd''Artagnan'"));
  TFitsBess H;
  H.Add(C.Card);
  EXPECT_EQ(H.OBSERVER(), "d'Artagnan");
  // Editing the card without changes gives the same card back.
  std::string K, V, Cm;
  int T;
  H.ReadLine(0, K, V, Cm, T);
  EXPECT_EQ(ComposeEditedCard(K, V, Cm, T).Card, C.Card);
}

// A CONTINUE card (or any card without "= ") does not stop the editor: every card can be
// listed, the working copy keeps those cards unchanged, and they can be deleted.
TEST(FitsEditorCore, CardsWithoutValueAreKept) {
  TSpec32 S;
  S.NewSpec("c", 3, 1, nullptr);
  TFitsBess &H = S.FitsBess();
  H.Add(Pad80("LONGSTR = 'The first part of a long string that goes on in the next card &'"));
  H.Add(Pad80("CONTINUE  'and ends here.'"));
  H.Add(Pad80("BLANK   =                  -99"));
  H.Add(Pad80("NOTE      a keyword with text and no value"));
  TFitsBess Work;
  PrepareEditorHeader(S, Work);
  std::vector<std::string> Keys;
  for (int i = 0; i < Work.Count(); ++i) {
    std::string K, V, C;
    int T;
    ASSERT_NO_THROW(Work.ReadLine(i, K, V, C, T)) << Work.Strings(i);
    Keys.push_back(K);
  }
  const int Cont = Work.IndexOfKey("CONTINUE");
  ASSERT_GE(Cont, 0);
  EXPECT_EQ(Work.Strings(Cont), Pad80("CONTINUE  'and ends here.'"));
  EXPECT_GE(Work.IndexOfKey("NOTE    "), 0);
  // BLANK means nothing once the data are floating point.
  EXPECT_EQ(Work.IndexOfKey("BLANK   "), -1);
  Work.Delete(Cont);
  EXPECT_EQ(Work.IndexOfKey("CONTINUE"), -1);
}

// A default instrument too long for a card (an old settings file) is refused by name, and
// none of the keywords is added.
TEST(FitsEditorCore, BessDefaultTooLong) {
  TFitsBess H;
  H.NewHeader(4);
  const auto Before = H.Cards();
  try {
    AddBessKeywords(H, "me", std::string(83, 'i'), "site");
    FAIL() << "an 83-character BSS_INST was added";
  } catch (const EOrvaError &E) {
    EXPECT_NE(std::string(E.what()).find("BSS_INST"), std::string::npos) << E.what();
  }
  EXPECT_EQ(H.Cards(), Before);
}

} // namespace
