#include "ui/common/translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

// Texts of Qt's print dialog that Qt's own Japanese catalogue leaves in English.
struct Missing {
  const char* context;
  const char* source;
  const char16_t* japanese;
};
constexpr Missing kMissing[] = {
    {"QPrintSettingsOutput", "Pages", u"ページ指定"},
    {"QPrintSettingsOutput", "Double Sided Printing", u"両面印刷"},
    {"QPrintSettingsOutput", "Off", u"しない"},
    {"QPrintSettingsOutput", "Long side binding", u"長辺とじ"},
    {"QPrintSettingsOutput", "Short side binding", u"短辺とじ"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers "
     "separated by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     u"ページまたは範囲をコンマで区切って指定します。範囲は2つの数をハイフンでつなぎます。"
     u"例：3,5-7,9 は 3、5、6、7、9 ページを印刷します。"},
    {"QPrintPropertiesWidget", "Advanced", u"詳細設定"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     u"いくつかの設定が矛盾しています。直してください。"},
    {"QAbstractFileIconProvider", "Drive", u"ドライブ"},
    {"QAbstractFileIconProvider", "Folder", u"フォルダー"},
};

class MissingTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* context, const char* source, const char* disambiguation,
                    int n) const override {
    Q_UNUSED(disambiguation);
    Q_UNUSED(n);
    for (const Missing& m : kMissing)
      if (qstrcmp(m.context, context) == 0 && qstrcmp(m.source, source) == 0)
        return QString::fromUtf16(m.japanese);
    return {};
  }
  bool isEmpty() const override { return false; }
};

}  // namespace

bool installTranslations(QApplication& app) {
  // The program speaks Japanese whatever the system's language is.
  QCoreApplication::installTranslator(new MissingTexts(&app));
  auto* qt = new QTranslator(&app);
  if (!qt->load(u"qtbase_ja"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(qt)) {
    delete qt;
    return false;
  }
  return true;
}

}  // namespace velnor
