#include "Translation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "CodePage.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

fs::path ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path();
}

fs::path TestCatalog(const std::wstring& name) { return testsupport::TestDataFile(name + L".mo"); }

// Copies a compiled test catalog into the folder as a program's catalog lies
// beside it: locale\<language>\LC_MESSAGES\<program>.mo.
fs::path Install(const testsupport::TempFolder& folder, const std::wstring& catalog,
                 const std::wstring& language, const std::wstring& program = L"keyfeed") {
  const fs::path target = folder / L"locale" / language / L"LC_MESSAGES" / (program + L".mo");
  fs::create_directories(target.parent_path());
  fs::copy_file(TestCatalog(catalog), target, fs::copy_options::overwrite_existing);
  return target;
}

MessageCatalog LoadTestCatalog(const std::wstring& name) {
  const testsupport::TempFolder folder;
  Install(folder, name, L"xx");
  MessageCatalog catalog = MessageCatalog::Load(folder.Path().wstring(), L"xx", L"keyfeed");
  EXPECT_FALSE(catalog.Path().empty()) << "missing test catalog " << name;
  return catalog;
}

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
    wchar_t buffer[512] = {};
    const DWORD length = GetEnvironmentVariableW(name, buffer, ARRAYSIZE(buffer));
    if (length > 0 && length < ARRAYSIZE(buffer)) old_ = std::wstring(buffer, length);
    SetEnvironmentVariableW(name, value);
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const wchar_t* name_;
  std::optional<std::wstring> old_;
};

}  // namespace

TEST(Translation, Language_CodesetAndModifier_Dropped) {
  EXPECT_EQ(LanguageFromLocaleSetting(L"de_DE.UTF-8"), L"de_DE");
  EXPECT_EQ(LanguageFromLocaleSetting(L"de_DE@euro"), L"de_DE");
  EXPECT_EQ(LanguageFromLocaleSetting(L"de_DE.ISO-8859-15@euro"), L"de_DE");
  EXPECT_EQ(LanguageFromLocaleSetting(L"ru_RU"), L"ru_RU");
  EXPECT_EQ(LanguageFromLocaleSetting(L"de"), L"de");
}

TEST(Translation, Language_CAndPosix_MeanEnglish) {
  EXPECT_EQ(LanguageFromLocaleSetting(L"C"), L"");
  EXPECT_EQ(LanguageFromLocaleSetting(L"POSIX"), L"");
  EXPECT_EQ(LanguageFromLocaleSetting(L"C.UTF-8"), L"");
  EXPECT_EQ(LanguageFromLocaleSetting(L""), L"");
}

TEST(Translation, Language_PathCharacters_Refused) {
  EXPECT_EQ(LanguageFromLocaleSetting(L"..\\..\\de"), L"");
  EXPECT_EQ(LanguageFromLocaleSetting(L"de/../x"), L"");
  EXPECT_EQ(LanguageFromLocaleSetting(L"de DE"), L"");
}

TEST(Translation, Candidates_CountryLanguage_CountryFirstThenLanguage) {
  const std::vector<std::wstring> expected = {
      L"C:\\tools\\locale\\de_DE\\LC_MESSAGES\\keyfeed.mo",
      L"C:\\tools\\locale\\de\\LC_MESSAGES\\keyfeed.mo"};
  EXPECT_EQ(CatalogCandidates(L"C:\\tools", L"de_DE", L"keyfeed"), expected);
  EXPECT_EQ(CatalogCandidates(L"C:\\tools\\", L"de_DE", L"keyfeed"), expected);
}

TEST(Translation, Candidates_LanguageOnly_OneFile) {
  const std::vector<std::wstring> expected = {
      L"C:\\tools\\locale\\ru\\LC_MESSAGES\\uiprobe.mo"};
  EXPECT_EQ(CatalogCandidates(L"C:\\tools", L"ru", L"uiprobe"), expected);
}

TEST(Translation, Candidates_NoLanguage_NoFiles) {
  EXPECT_TRUE(CatalogCandidates(L"C:\\tools", L"", L"keyfeed").empty());
}

TEST(Translation, CurrentLanguage_LangWithCodeset_GivesLanguageAndCountry) {
  const ScopedEnvironment lang(L"LANG", L"de_DE.UTF-8");
  EXPECT_EQ(CurrentLanguage(), L"de_DE");
}

TEST(Translation, CurrentLanguage_LangWithModifier_GivesLanguageAndCountry) {
  const ScopedEnvironment lang(L"LANG", L"de_DE@euro");
  EXPECT_EQ(CurrentLanguage(), L"de_DE");
}

TEST(Translation, CurrentLanguage_LangCOrPosix_GivesEnglish) {
  {
    const ScopedEnvironment lang(L"LANG", L"C");
    EXPECT_EQ(CurrentLanguage(), L"");
  }
  {
    const ScopedEnvironment lang(L"LANG", L"POSIX");
    EXPECT_EQ(CurrentLanguage(), L"");
  }
}

TEST(Translation, CurrentLanguage_LangUnsetOrEmpty_UsesUserLocale) {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  ASSERT_GT(GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH), 0);
  std::wstring expected = name;  // "ll-CC"
  if (std::count(expected.begin(), expected.end(), L'-') != 1) {
    GTEST_SKIP() << "user locale with a script part: " << expected;
  }
  expected[expected.find(L'-')] = L'_';
  {
    const ScopedEnvironment lang(L"LANG", nullptr);
    EXPECT_EQ(CurrentLanguage(), expected);
  }
  {
    const ScopedEnvironment lang(L"LANG", L"");
    EXPECT_EQ(CurrentLanguage(), expected);
  }
}

TEST(Translation, Load_CountryAndLanguageCatalogs_CountryFirst) {
  const testsupport::TempFolder folder;
  const fs::path country = Install(folder, L"translation_de_de", L"de_DE");
  const fs::path language = Install(folder, L"translation_de", L"de");
  const std::wstring base = folder.Path().wstring();

  const MessageCatalog forCountry = MessageCatalog::Load(base, L"de_DE", L"keyfeed");
  EXPECT_EQ(fs::path(forCountry.Path()), country);
  EXPECT_EQ(forCountry.TranslateFormat(L"Invalid file %s", {L"a.txt"}),
            L"Die Datei a.txt ist ungültig");

  const MessageCatalog forOtherCountry = MessageCatalog::Load(base, L"de_AT", L"keyfeed");
  EXPECT_EQ(fs::path(forOtherCountry.Path()), language);
  EXPECT_EQ(forOtherCountry.TranslateFormat(L"Invalid file %s", {L"a.txt"}),
            L"Ungültige Datei a.txt");

  fs::remove(country);
  const MessageCatalog withoutCountry = MessageCatalog::Load(base, L"de_DE", L"keyfeed");
  EXPECT_EQ(fs::path(withoutCountry.Path()), language);
  EXPECT_EQ(withoutCountry.Translate(L"Stack trace:"), L"Aufrufliste (Stapelüberwachung):");
}

TEST(Translation, Load_CountryCatalogFound_OnlyItIsUsed) {
  const testsupport::TempFolder folder;
  Install(folder, L"translation_de_de", L"de_DE");
  Install(folder, L"translation_de", L"de");
  const MessageCatalog catalog =
      MessageCatalog::Load(folder.Path().wstring(), L"de_DE", L"keyfeed");
  EXPECT_EQ(catalog.Translate(L"Stack trace:"), L"Stack trace:");
}

TEST(Translation, Load_NoCatalogForLanguageOrProgram_StaysEnglish) {
  const testsupport::TempFolder folder;
  Install(folder, L"translation_de", L"de");
  const std::wstring base = folder.Path().wstring();
  for (const MessageCatalog& catalog :
       {MessageCatalog::Load(base, L"fr_FR", L"keyfeed"),
        MessageCatalog::Load(base, L"de", L"uiprobe"),
        MessageCatalog::Load(base, L"", L"keyfeed")}) {
    EXPECT_TRUE(catalog.Path().empty());
    EXPECT_EQ(catalog.Translate(L"Stack trace:"), L"Stack trace:");
    EXPECT_EQ(catalog.TranslateFormat(L"Invalid file %s", {L"a"}), L"Invalid file a");
  }
}

TEST(Translation, Load_CorruptCatalog_StaysEnglish) {
  const testsupport::TempFolder folder;
  const fs::path target = Install(folder, L"translation_de", L"de");
  fs::resize_file(target, fs::file_size(target) / 2);
  const MessageCatalog catalog = MessageCatalog::Load(folder.Path().wstring(), L"de", L"keyfeed");
  EXPECT_EQ(catalog.Translate(L"Stack trace:"), L"Stack trace:");
  EXPECT_EQ(catalog.TranslateFormat(L"Invalid file %s", {L"a"}), L"Invalid file a");
}

TEST(Translation, Translate_Cyrillic_DecodedFromUtf8) {
  const MessageCatalog catalog = LoadTestCatalog(L"translation_ru");
  EXPECT_EQ(catalog.Translate(L"Stack trace:"), L"Трассировка стека:");
  EXPECT_EQ(catalog.TranslateFormat(L"Invalid file %s", {L"Отчёт.txt"}),
            L"Недопустимый файл Отчёт.txt");
}

TEST(Translation, Translate_MissingEntry_GivesEnglish) {
  const MessageCatalog catalog = LoadTestCatalog(L"translation_ru");
  EXPECT_EQ(catalog.Translate(L"Invalid parameter %s"), L"Invalid parameter %s");
  EXPECT_EQ(catalog.TranslateFormat(L"Invalid parameter %s", {L"--x"}),
            L"Invalid parameter --x");
}

TEST(Translation, TranslateFormat_MatchingPlaceholders_FormatsTranslation) {
  const MessageCatalog catalog = LoadTestCatalog(L"translation_de");
  EXPECT_EQ(catalog.TranslateFormat(L"Invalid topic \"%s\"", {L"keys"}),
            L"Ungültiges Thema \u201Ekeys\u201C");
  EXPECT_EQ(catalog.TranslateFormat(L"Execution failed!\r\nException info: %s\r\n%s",
                                    {L"EInvalidTag", L"Tag MKEY not closed"}),
            L"Ausführung fehlgeschlagen!\r\nAusnahme: EInvalidTag\r\nTag MKEY not closed");
}

TEST(Translation, TranslateFormat_UserTextWithDirectives_StaysArgument) {
  const MessageCatalog catalog = LoadTestCatalog(L"translation_de");
  EXPECT_EQ(catalog.TranslateFormat(L"Invalid file %s", {L"%s%d%%%n.txt"}),
            L"Ungültige Datei %s%d%%%n.txt");
}

TEST(Translation, TranslateFormat_OtherDirective_UsesEnglish) {
  const MessageCatalog catalog = LoadTestCatalog(L"translation_placeholders");
  EXPECT_EQ(catalog.TranslateFormat(L"Invalid file %s", {L"a.txt"}), L"Invalid file a.txt");
}

TEST(Translation, TranslateFormat_ExtraOrMissingPlaceholder_UsesEnglish) {
  const MessageCatalog catalog = LoadTestCatalog(L"translation_placeholders");
  EXPECT_EQ(catalog.TranslateFormat(L"Invalid parameter %s", {L"--x"}),
            L"Invalid parameter --x");
  EXPECT_EQ(catalog.TranslateFormat(L"Invalid topic \"%s\"", {L"x"}), L"Invalid topic \"x\"");
  EXPECT_EQ(catalog.TranslateFormat(L"Stack trace:", {}), L"Stack trace:");
}

TEST(Translation, TranslateFormat_DoublePercentInTranslation_Accepted) {
  const MessageCatalog catalog = LoadTestCatalog(L"translation_placeholders");
  EXPECT_EQ(catalog.TranslateFormat(L"Execution failed!\r\nException info: %s\r\n%s",
                                    {L"EOSError", L"Access denied"}),
            L"Fehler zu 100%!\r\nAusnahme: EOSError\r\nAccess denied");
}

TEST(Translation, Translate_OtherCharset_DecodedFromAnsiCodePage) {
  const MessageCatalog catalog = LoadTestCatalog(L"translation_latin1");
  EXPECT_EQ(catalog.Translate(L"Stack trace:"), AnsiToWide("Aufrufliste f\xfcr M\xe4rz:"));
}

TEST(Translation, LoadProgramCatalog_CatalogBesideProgram_Found) {
  // A language of this test alone, so that tests running at the same time
  // see no catalog of it.
  const std::wstring language = L"zz_T" + std::to_wstring(GetCurrentProcessId());
  const fs::path languageFolder = ProgramFolder() / L"locale" / language;
  const fs::path target = languageFolder / L"LC_MESSAGES" / L"unit_tests.mo";
  fs::create_directories(target.parent_path());
  fs::copy_file(TestCatalog(L"translation_de"), target, fs::copy_options::overwrite_existing);
  struct Cleanup {
    fs::path folder;
    ~Cleanup() {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
      // The locale folder goes too unless another test still uses it.
      fs::remove(folder.parent_path(), ignored);
    }
  } cleanup{languageFolder};

  const ScopedEnvironment lang(L"LANG", (language + L".UTF-8").c_str());
  const MessageCatalog catalog = LoadProgramCatalog();
  EXPECT_EQ(fs::path(catalog.Path()), target);
  EXPECT_EQ(catalog.Translate(L"Stack trace:"), L"Aufrufliste (Stapelüberwachung):");
}

TEST(Translation, LoadProgramCatalog_NoCatalogForLanguage_StaysEnglish) {
  const ScopedEnvironment lang(L"LANG", L"zz_ZZ");
  const MessageCatalog catalog = LoadProgramCatalog();
  EXPECT_TRUE(catalog.Path().empty());
  EXPECT_EQ(catalog.Translate(L"Stack trace:"), L"Stack trace:");
}

TEST(Translation, GlobalTranslate_EnglishLanguage_GivesFormattedEnglish) {
  const ScopedEnvironment lang(L"LANG", L"C");
  EXPECT_EQ(Translate(L"Stack trace:"), L"Stack trace:");
  EXPECT_EQ(TranslateFormat(L"Invalid topic \"%s\"", {L"%s"}), L"Invalid topic \"%s\"");
  EXPECT_EQ(&ProgramCatalog(), &ProgramCatalog());
}
