#!/usr/bin/env bash
# Every German text the programs show, print or log is made in the messages module
# (engine/messages*). This fails on a string literal that reads German anywhere else in the
# program's sources, naming file and line. Comments are no literals and are left out; adjacent
# literals ("a" "b") are read as the one text they make.
# Usage: german_texts_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"

# Where German texts belong: the messages module, and the option table, which is the CLI's help
# page and makes the manual page too. (.ui forms and the help pages are no C++ and not scanned.)
HOME_FILES='^(engine/messages[a-z_]*\.(h|cpp)|cli/cli_option_table\.cpp)$'

files=()
while IFS= read -r file; do
  [[ "$file" =~ $HOME_FILES ]] && continue
  files+=("$file")
done < <(find engine site support icons app cli -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

perl - "${files[@]}" <<'PERL'
use strict;
use warnings;
use utf8;
binmode STDERR, ':encoding(UTF-8)';
# German: umlauts and sharp s (also escaped), German function words, and German stems the
# program's texts use. English literals (internal errors, formats, keys) have none of them.
my $german = qr{
    (?-i:[äöüÄÖÜß]) | \\u00(?:c4|d6|dc|df|e4|f6|fc) | \\xc3\\x(?:84|96|9c|9f|a4|b6|bc)
  | \b(?:der|das|den|dem|des|ein|eine|einen|einem|einer|eines|und|oder|nicht|kein|keine|keinen
      |ist|sind|wird|wurde|werden|wurden|bitte|mit|von|auf|nur|noch|bei|zum|zur|nach|wie|siehe
      |fehlt|gilt|nimmt|braucht|ja|nein)\b
  | datei | ordner | verzeichnis | fehler | seite | bild | protokoll | eintrag | bearbeit
  | verknüpf | abbrech | gefunden | entfernt | hinweis | unbekannt | aufruf | auswahl
  | fortschritt | gebrauch | ersetzen | beendet
}xi;
my $failed = 0;
for my $file (@ARGV) {
  open(my $in, '<:encoding(UTF-8)', $file) or die "$file: $!";
  my $source = do { local $/; <$in> };
  close $in;
  my ($line, $text, $textLine, $open) = (1, undef, 0, 0);
  my $flush = sub {
    if (defined $text && $text =~ $german) {
      print STDERR "FAIL: $file:$textLine: German text outside the messages module: \"$text\"\n";
      $failed = 1;
    }
    $text = undef;
  };
  while ($source =~ m{\G(?:
        (?<comment> //[^\n]* | /\*.*?\*/ )
      | (?:u8|u|U|L)?R"(?<delim>[^()\\\s]{0,16})\((?<raw>.*?)\)\g{delim}"
      | (?:u8|u|U|L)?"(?<plain>(?:[^"\\\n]|\\.)*)"
      | (?<=[0-9A-Fa-f])'(?=[0-9A-Fa-f])
      | '(?:[^'\\\n]|\\.)+'
      | (?<space>\s+)
      | (?<other>[^/"'\s]+|.)
    )}gcsx) {
    my $token = $&;
    my $literal = $+{raw} // $+{plain};
    if (defined $literal) {
      if (defined $text) {
        $text .= $literal;
      } else {
        ($text, $textLine) = ($literal, $line);
      }
    } elsif (!defined $+{comment} && !defined $+{space}) {
      $flush->();
    }
    $line += ($token =~ tr/\n//);
  }
  $flush->();
}
exit $failed;
PERL
echo "German texts are made in the messages module only"
