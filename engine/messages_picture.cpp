#include "engine/messages_picture.h"

namespace tervando {

namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

std::string PictureNotReadableText(const std::string& name, bool readsWebP) {
  return "Die Datei " + Quoted(name) + " ist kein Bild, das Tervando lesen kann (PNG, JPEG, GIF, " +
         (readsWebP ? "BMP, WebP" : "BMP") + ", SVG oder ICO).";
}

std::string PictureDamagedText(const std::string& name) {
  return "Das Bild in der Datei " + Quoted(name) + " ist beschädigt und lässt sich nicht lesen.";
}

std::string PictureEmptyText(const std::string& name) {
  return "Das Bild in der Datei " + Quoted(name) + " ist leer: es hat keinen sichtbaren Bildpunkt.";
}

std::string FileEmptyText(const std::string& name) {
  return "Die Datei " + Quoted(name) + " ist leer.";
}

std::string NoIconFileText(const std::string& name) {
  return "Die Datei " + Quoted(name) + " ist keine gültige Icon-Datei.";
}

std::string IconImageDamagedText(const std::string& name, int imageNumber) {
  return "Die Icon-Datei " + Quoted(name) + " ist beschädigt: Bild " + std::to_string(imageNumber) +
         " lässt sich nicht lesen.";
}

std::string SvgDamagedText(const std::string& name) {
  return "Die SVG-Zeichnung in der Datei " + Quoted(name) +
         " ist beschädigt und lässt sich nicht lesen.";
}

std::string SvgOutsideReferenceText(const std::string& name, const std::string& reference) {
  return "Die SVG-Zeichnung in der Datei \"" + name + "\" verweist auf \"" + reference +
         "\" außerhalb der Datei; Tervando nimmt eine Zeichnung nur mit dem, was in ihrer "
         "eigenen Datei steht.";
}

std::string SvgNestedTooDeepText(const std::string& name) {
  return "Die SVG-Zeichnung in der Datei \"" + name +
         "\" bettet Zeichnungen zu tief verschachtelt, zu groß oder beschädigt ein; Tervando "
         "nimmt eine Zeichnung nur, wenn sich alles prüfen lässt, was sie lädt.";
}

std::string PictureTooLargeText(const std::string& name, int width, int height) {
  return "Das Bild in der Datei " + Quoted(name) + " ist mit " + std::to_string(width) + " × " +
         std::to_string(height) + " Bildpunkten zu groß für Tervando.";
}

std::string PictureFileTooLargeText(const std::string& name, std::uintmax_t megabytes) {
  return "Die Datei " + Quoted(name) + " ist mit " + std::to_string(megabytes) +
         " MB zu groß für ein Bild.";
}

std::string PictureReadFailedText(const std::string& reason) {
  return "Das Bild lässt sich nicht lesen (" + reason + ").";
}

std::string IconSetUnusableText(const std::string& name) {
  return "Die Datei \"" + name + "\" lässt sich nicht als Icon-Satz verwenden.";
}

std::string PictureModuleMissingText(const std::vector<std::string>& searched,
                                     const std::string& loadFailure) {
  std::string text = "Ohne sein Bildmodul kann Tervando keine Bilder lesen oder zeichnen, und ";
  if (!loadFailure.empty()) {
    return text + "das Bildmodul lässt sich nicht laden (" + loadFailure + ").";
  }
  text += "das Bildmodul fehlt (gesucht: ";
  for (std::size_t i = 0; i < searched.size(); ++i) {
    text += (i == 0 ? "" : " und ") + Quoted(searched[i]);
  }
  return text + ").";
}

}  // namespace tervando
