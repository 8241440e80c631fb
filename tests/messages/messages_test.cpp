// The message catalogue, message boxes, the usage text and the string test.
#include "messages/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages/catalogue.h"
#include "tests/support/fake_system.h"

namespace {

using Strings = std::vector<std::string>;

struct LanguageTexts {
  int language;
  const char* missing_ini;
  const char* usage;
  const char* usage_content;
  const char* error;
  const char* message;
};

const LanguageTexts kTexts[] = {
    {1033, "Cannot open INI file: %s\n", "Usage:", "%s [-data WORKSPACE] [-help] [VELMORA OPTION]", "Error", "Message"},
    {1031, "INI-Datei %s kann nicht geöffnet werden\n", "Verwendung:", "%s [-data ARBEITSBEREICH] [-help] [VELMORA-OPTIONEN]", "Fehler", "Nachricht"},
    {1036, "Impossible d'ouvrir le fichier INI : %s\n", "Syntaxe :", "%s [-data WORKSPACE] [-help] [VELMORA OPTION]", "Erreur", "Message"},
    {1040, "Impossibile aprire il file INI: %s\n", "Uso:", "%s [-data WORKSPACE] [-help] [VELMORA OPTION]", "Errore", "Messaggio"},
    {3082, "No se puede abrir el archivo INI: %s\n", "Utilización:", "%s [-data WORKSPACE] [-help] [VELMORA OPTION]", "Error", "Mensaje"},
    {1046, "Não é possível abrir o arquivo INI: %s\n", "Uso:", "%s [-data WORKSPACE] [-help] [VELMORA OPTION]", "Erro", "Mensagem"},
    {1041, "INI ファイルを開くことができません: %s\n", "使用法:", "%s [-data WORKSPACE] [-help] [VELMORA OPTION]", "エラー", "メッセージ"},
    {1042, "INI 파일을 열 수 없음: %s\n", "사용법:", "%s [-data WORKSPACE] [-help] [VELMORA OPTION]", "오류", "메시지"},
    {2052, "打不开 INI 文件：%s\n", "用法：", "%s [-data WORKSPACE] [-help] [VELMORA OPTION]", "错误", "消息"},
    {1028, "無法開啟 INI 檔：%s\n", "用法：", "%s [-data WORKSPACE] [-help] [VELMORA OPTION]", "錯誤", "訊息"},
};

// IDS_ERROR_NOGTK, exactly, in every language.
const struct { int language; const char* text; } kNoGtk[] = {
    {1033, "%s version %s requires GTK %s or later to start, but it was not found on your system. Check the product documentation for software prerequisites to ensure your system meets the installation requirements."},
    {1031, "Zum Starten von %s Version %s wird GTK %s oder höher benötigt, konnte aber nicht auf dem System gefunden werden. Stellen Sie anhand der Softwarevoraussetzungen in der Produktdokumentation sicher, dass Ihr System den Installationsvoraussetzungen entspricht. "},
    {1036, "%s version %s requiert GTK version %s ou une version ultérieure pour démarrer, mais cette version est introuvable sur votre système. Vérifiez dans la documentation du produit si des logiciels sont requis, pour vous assurer que votre système satisfait les conditions d'installation."},
    {1040, "%s versione %s richiede GTK %s o versione successiva, non rilevato sul sistema. Per i prerequisiti software, fare riferimento alla documentazione del prodotto e assicurarsi che il sistema soddisfi i requisiti di installazione."},
    {3082, "%s versión %s necesita GTK %s o posterior para iniciarse, pero no se ha encontrado en el sistema. Consulte la documentación del producto para conocer los prerrequisitos de software y asegurarse de que el sistema cumple los requisitos de la instalación."},
    {1046, "O %s versão %s requer o GTK %s ou posterior para ser iniciado, mas ele não foi encontrado no seu sistema. Verifique a documentação do produto para obter os pré-requisitos do software para se certificar de que seu sistema preenche os requisitos de instalação."},
    {1041, "%s バージョン %s では GTK %s 以降を開始する必要がありますが、ご使用のシステムで検出できませんでした。製品資料でソフトウェア前提条件をチェックして、ご使用のシステムがインストール要件に適合していることを確認してください。"},
    {1042, "%s 버전 %s을(를) 시작하려면 GTK %s 이상이 필요하지만, 시스템에서 찾을 수 없습니다. 시스템이 설치 요구사항에 일치하는지 확인하려면 제품 문서에서 소프트웨어 전제조건을 확인하십시오. "},
    {2052, "%s V%s 需要启动 GTK %s 或更新版本，但在您的系统上找不到它。请检查产品文档以了解必备软件来确保您的系统满足安装要求。"},
    {1028, "%s 第 %s 版需要 GTK %s 或更新的版本才能啟動，但是在您的系統上找不到它。請檢查產品文件以瞭解軟體需求，確定您的系統符合安裝需求。"},
};

// |text| with every "%s" replaced by "_TEST_".
std::string with_test_marks(std::string text) {
  for (size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at)) {
    text.replace(at, 2, "_TEST_");
  }
  return text;
}

Strings texts_of(const std::vector<ShownMessage>& messages) {
  Strings texts;
  for (const ShownMessage& m : messages) texts.push_back(m.text);
  return texts;
}

TEST(CatalogueTest, HoldsTheTextsOfAllTenLanguages) {
  std::vector<int> expected_languages;
  for (const LanguageTexts& t : kTexts) {
    expected_languages.push_back(t.language);
    EXPECT_EQ(catalogue_text(t.language, IDS_MissingINI), t.missing_ini) << t.language;
    EXPECT_EQ(catalogue_text(t.language, IDS_USAGE), t.usage) << t.language;
    EXPECT_EQ(catalogue_text(t.language, IDS_USAGE_CONTENT), t.usage_content) << t.language;
    EXPECT_EQ(catalogue_text(t.language, IDS_ERROR), t.error) << t.language;
    EXPECT_EQ(catalogue_text(t.language, IDS_MESSAGE), t.message) << t.language;
  }
  EXPECT_EQ(catalogue_languages(), expected_languages);
  for (const auto& t : kNoGtk) {
    EXPECT_EQ(catalogue_text(t.language, IDS_ERROR_NOGTK), t.text) << t.language;
  }
}

TEST(CatalogueTest, UnknownLanguageFallsBackToEnglish) {
  for (int language : {0, 1049, 1043, 2057, -1}) {
    EXPECT_EQ(catalogue_text(language, IDS_ERROR), "Error") << language;
    EXPECT_EQ(catalogue_text(language, IDS_MissingINI), "Cannot open INI file: %s\n");
  }
  EXPECT_EQ(catalogue_text(1031, 9999), "");
}

TEST(LoadMessageTest, TakesAtMostOneByteLessThanTheCapacity) {
  FakeSystem system;
  EXPECT_EQ(load_message(system, IDS_ERROR, 255), "Error");
  EXPECT_EQ(load_message(system, IDS_ERROR, 6), "Error");
  EXPECT_EQ(load_message(system, IDS_ERROR, 5), "Erro");
  EXPECT_EQ(load_message(system, IDS_ERROR, 2), "E");
  EXPECT_EQ(load_message(system, IDS_ERROR, 1), "");
  EXPECT_EQ(load_message(system, IDS_ERROR, 0), "");
  EXPECT_EQ(load_message(system, IDS_ERROR_NOGTK, 255), kNoGtk[0].text);
}

TEST(LoadMessageTest, NeverCutsACharacterInHalf) {
  for (const LanguageTexts& t : kTexts) {
    FakeSystem system;
    system.language = t.language;
    const std::string full = catalogue_text(t.language, IDS_ERROR_NOGTK);
    for (size_t capacity = 1; capacity <= full.size() + 2; ++capacity) {
      std::string text = load_message(system, IDS_ERROR_NOGTK, capacity);
      SCOPED_TRACE(testing::Message() << t.language << " capacity " << capacity);
      ASSERT_LE(text.size(), capacity - 1);
      ASSERT_EQ(full.compare(0, text.size(), text), 0);
      // Whole characters only, and no more than one character dropped.
      if (text.size() < full.size()) {
        EXPECT_NE(static_cast<unsigned char>(full[text.size()]) & 0xC0, 0x80);
        EXPECT_GE(text.size() + 3, capacity - 1);
      }
    }
  }
}

TEST(FormatMessageTest, FillsOnlyPercentS) {
  const struct { const char* pattern; Strings arguments; const char* result; } cases[] = {
      {"Cannot open INI file: %s\n", {"C:\\P\\l.ini"}, "Cannot open INI file: C:\\P\\l.ini\n"},
      {"%s: %s", {"Error", "Failed Loading Velmora."}, "Error: Failed Loading Velmora."},
      {"%s and %s", {"a"}, "a and "},
      {"%s%s", {"a", "b", "c"}, "ab"},
      {"100%%", {}, "100%"},
      {"%%s", {"a"}, "%s"},
      {"%d %n %x %", {"a"}, "%d %n %x %"},
      {"%s", {"%s %d %n"}, "%s %d %n"},
      {"", {"a"}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_message(c.pattern, c.arguments), c.result) << c.pattern;
  }
}

TEST(ShowMessageTest, CaptionFollowsKindAndLanguage) {
  for (const LanguageTexts& t : kTexts) {
    FakeSystem system;
    system.language = t.language;
    show_message(system, "C:\\100%s\n", MessageKind::kError);
    show_message(system, "info", MessageKind::kInformation);
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[0].caption, t.error);
    EXPECT_EQ(system.messages[0].text, "C:\\100%s\n");
    EXPECT_EQ(system.messages[1].caption, t.message);
    EXPECT_EQ(system.messages[1].text, "info");
    // The platform is told the kind as well, to show each as it should.
    EXPECT_EQ(system.messages[0].kind, MessageKind::kError);
    EXPECT_EQ(system.messages[1].kind, MessageKind::kInformation);
  }
}

TEST(ShowUsageTest, ShowsTheUsageLineWithTheStem) {
  const struct { int language; const char* stem; const char* caption; const char* text; } cases[] = {
      {1033, "launcher", "Message", "launcher [-data WORKSPACE] [-help] [VELMORA OPTION]"},
      {1031, "launcher", "Nachricht", "launcher [-data ARBEITSBEREICH] [-help] [VELMORA-OPTIONEN]"},
      {1033, "my%sapp", "Message", "my%sapp [-data WORKSPACE] [-help] [VELMORA OPTION]"},
      {1033, "", "Message", " [-data WORKSPACE] [-help] [VELMORA OPTION]"},
  };
  for (const auto& c : cases) {
    FakeSystem system;
    system.language = c.language;
    show_usage(system, c.stem);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].caption, c.caption);
    EXPECT_EQ(system.messages[0].text, c.text);
    EXPECT_FALSE(system.started);
  }
}

TEST(StringTestTest, ShowsSixBoxesInEnglish) {
  FakeSystem system;
  run_string_test(system);
  EXPECT_EQ(texts_of(system.messages),
            (Strings{"Cannot open INI file: _TEST_\n", with_test_marks(kNoGtk[0].text),
                     "Usage:", "_TEST_ [-data WORKSPACE] [-help] [VELMORA OPTION]",
                     "Error", "Message"}));
  for (const ShownMessage& m : system.messages) EXPECT_EQ(m.caption, "Message");
}

TEST(StringTestTest, ShowsGermanAndJapaneseTexts) {
  FakeSystem system;
  system.language = 1031;
  run_string_test(system);
  EXPECT_EQ(texts_of(system.messages),
            (Strings{"INI-Datei _TEST_ kann nicht geöffnet werden\n",
                     with_test_marks(kNoGtk[1].text), "Verwendung:",
                     "_TEST_ [-data ARBEITSBEREICH] [-help] [VELMORA-OPTIONEN]",
                     "Fehler", "Nachricht"}));
  for (const ShownMessage& m : system.messages) EXPECT_EQ(m.caption, "Nachricht");

  FakeSystem japanese;
  japanese.language = 1041;
  run_string_test(japanese);
  ASSERT_EQ(japanese.messages.size(), 6u);
  EXPECT_EQ(japanese.messages[0].text, "INI ファイルを開くことができません: _TEST_\n");
  EXPECT_EQ(japanese.messages[2].text, "使用法:");
  EXPECT_EQ(japanese.messages[4].text, "エラー");
  for (const ShownMessage& m : japanese.messages) EXPECT_EQ(m.caption, "メッセージ");
}

TEST(StringTestTest, EveryLanguageShowsItsTextsInFull) {
  const int ids[] = {IDS_MissingINI, IDS_ERROR_NOGTK, IDS_USAGE,
                     IDS_USAGE_CONTENT, IDS_ERROR, IDS_MESSAGE};
  const size_t marks[] = {1, 3, 0, 1, 0, 0};
  for (int language : catalogue_languages()) {
    FakeSystem system;
    system.language = language;
    run_string_test(system);
    ASSERT_EQ(system.messages.size(), 6u) << language;
    for (size_t i = 0; i < 6; ++i) {
      const ShownMessage& m = system.messages[i];
      SCOPED_TRACE(testing::Message() << "language " << language << " box " << i);
      EXPECT_EQ(m.caption, catalogue_text(language, IDS_MESSAGE));
      EXPECT_FALSE(m.text.empty());
      // Long translations (some exceed 254 bytes) are not cut short.
      EXPECT_EQ(m.text, with_test_marks(catalogue_text(language, ids[i])));
      size_t count = 0;
      for (size_t at = m.text.find("_TEST_"); at != std::string::npos;
           at = m.text.find("_TEST_", at + 1)) {
        ++count;
      }
      EXPECT_EQ(count, marks[i]);
    }
    EXPECT_EQ(system.messages[0].text.back(), '\n');
  }
}

}  // namespace
