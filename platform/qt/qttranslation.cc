#include "platform/qt/qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installqttranslation() {
  return installqttranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool installqttranslation(const QString& folder) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  // Owned by the application, so it lives as long as the texts it serves.
  auto* translator = new QTranslator(app);
  if (!translator->load(QStringLiteral("qtbase_de"), folder) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}
