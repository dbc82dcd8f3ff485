#include "ui/toolkit/open_picture_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QImageReader>
#include <QInputDialog>
#include <QStringList>
#include <cctype>

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

// The file type shown follows the proposed name's extension, and choosing
// another type gives the typed name that type's extension.
std::optional<std::string> askWhereToSave(QWidget* owner, const std::string& start,
                                          const std::string& filter) {
  QFileDialog dialog(owner, QObject::tr("Save"), QString(), qtText(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.selectFile(qtText(start));
  dialog.selectNameFilter(qtText(nameFilterFor(filter, start)));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& entry) {
    const QStringList typed = dialog.selectedFiles();
    if (typed.isEmpty()) return;
    const QString renamed = qtText(nameWithFilterSuffix(stdText(typed.front()), stdText(entry)));
    if (renamed != typed.front()) dialog.selectFile(renamed);
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dialog.selectedFiles().front();
  if (chosen.isEmpty()) return std::nullopt;
  return stdText(chosen);
}

// "*.png" of "PNG (*.png)", lower case; empty for an entry without a pattern.
std::string patternSuffix(const std::string& entry) {
  const auto star = entry.find("*.");
  if (star == std::string::npos) return "";
  std::string suffix;
  for (std::size_t i = star + 2; i < entry.size() && std::isalnum(static_cast<unsigned char>(entry[i]));
       ++i) {
    suffix += static_cast<char>(std::tolower(static_cast<unsigned char>(entry[i])));
  }
  return suffix;
}

std::string lowerSuffixOf(const std::string& name) {
  const auto dot = name.find_last_of('.');
  const auto slash = name.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string suffix = name.substr(dot + 1);
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return suffix;
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

std::string nameFilterFor(const std::string& filter, const std::string& name) {
  const std::string suffix = lowerSuffixOf(name);
  std::size_t begin = 0;
  std::string first;
  for (;;) {
    const auto end = filter.find(";;", begin);
    const std::string entry =
        filter.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    if (first.empty()) first = entry;
    if (!suffix.empty() && patternSuffix(entry) == suffix) return entry;
    if (end == std::string::npos) return first;
    begin = end + 2;
  }
}

std::string nameWithFilterSuffix(const std::string& name, const std::string& entry) {
  const std::string suffix = patternSuffix(entry);
  if (suffix.empty() || name.empty() || lowerSuffixOf(name) == suffix) return name;
  const auto dot = name.find_last_of('.');
  const auto slash = name.find_last_of('/');
  const bool hasSuffix = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasSuffix ? name.substr(0, dot) : name) + "." + suffix;
}

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
