#include "ui/toolkit/open_picture_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QImageReader>
#include <QInputDialog>
#include <QStringList>

#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

namespace {

std::optional<std::string> askWithFileDialog(QWidget* owner, const std::string& start,
                                             const std::string& filter) {
  const QString chosen =
      QFileDialog::getOpenFileName(owner, QObject::tr("Open"), qtText(start), qtText(filter));
  if (chosen.isEmpty()) return std::nullopt;
  return stdText(chosen);
}

std::optional<std::string> askWhereToSave(QWidget* owner, const std::string& start,
                                          const std::string& filter) {
  const QString chosen =
      QFileDialog::getSaveFileName(owner, QObject::tr("Save"), qtText(start), qtText(filter));
  if (chosen.isEmpty()) return std::nullopt;
  return stdText(chosen);
}

std::optional<int> askForNumber(QWidget* owner, const std::string& label, int value, int minimum,
                                int maximum) {
  bool ok = false;
  const int chosen = QInputDialog::getInt(owner, QApplication::applicationDisplayName(), qtText(label), value,
                                          minimum, maximum, 1, &ok);
  if (!ok) return std::nullopt;
  return chosen;
}

}  // namespace

std::function<std::optional<std::string>(QWidget*, const std::string&, const std::string&)>
    TSavePictureDialog::fileChooser = askWhereToSave;
std::function<std::optional<int>(QWidget*, const std::string&, int, int, int)>
    TSavePictureDialog::numberAsker = askForNumber;

bool TSavePictureDialog::Execute() {
  if (!fileChooser) return false;
  const std::optional<std::string> chosen = fileChooser(owner_, FileName, Filter);
  if (!chosen) return false;
  FileName = *chosen;
  return true;
}

std::function<std::optional<std::string>(QWidget*, const std::string&, const std::string&)>
    TOpenPictureDialog::fileChooser = askWithFileDialog;

std::string TOpenPictureDialog::pictureFilter() {
  QStringList patterns;
  QStringList entries;
  for (const QByteArray& format : QImageReader::supportedImageFormats()) {
    const QString suffix = QString::fromLatin1(format).toLower();
    patterns << QStringLiteral("*.") + suffix;
    entries << suffix.toUpper() + QStringLiteral(" (*.") + suffix + QStringLiteral(")");
  }
  QStringList all;
  all << QObject::tr("All pictures") + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
             QStringLiteral(")");
  all << entries;
  return stdText(all.join(QStringLiteral(";;")));
}

bool TOpenPictureDialog::Execute() {
  if (!fileChooser) return false;
  const std::optional<std::string> chosen = fileChooser(owner_, FileName, pictureFilter());
  if (!chosen) return false;
  FileName = *chosen;
  return true;
}

}  // namespace trapezola::toolkit
