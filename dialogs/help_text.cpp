#include "dialogs/help_text.h"

namespace nimbra {

const char* HelpHtml()
{
    return R"html(<html><body>
<h1>Nimbra 2005 – Hilfe</h1>
<p>Nimbra berechnet Fraktalbilder nach dem Fluchtzeitverfahren und speichert sie als
24-Bit-Bilder im Format Truevision TARGA (TGA).</p>
<ul>
<li><a href="#use">Bedienung in Kürze</a></li>
<li><a href="#topic101">Bildgröße</a></li>
<li><a href="#topic106">Berechnungsbereich</a></li>
<li><a href="#topic107">Iterationen (Farbtiefe)</a></li>
<li><a href="#julia">Julia-Startwert</a></li>
<li><a href="#formulas">Formeln</a></li>
<li>Farbmodelle: <a href="#topic102">RGB</a>, <a href="#topic103">CMY</a>,
    <a href="#topic104">Farbpalette</a>, <a href="#topic108">Invertiert</a></li>
<li><a href="#topic105">Vorschau, Zoomen und Verschieben</a></li>
<li><a href="#convert">Farbraumkonvertierung</a></li>
<li><a href="#topic200">Bildauflösung ermitteln</a></li>
<li><a href="#viewer">Bild ansehen und Programm anpassen</a></li>
<li><a href="#files">Dateien und Ordner</a></li>
<li><a href="#keys">Tastenkürzel</a></li>
</ul>

<h2><a name="use"></a>Bedienung in Kürze</h2>
<ol>
<li>Wählen Sie im Menü <i>Fraktale → Formeln</i> eine Formel. Die Eingabefelder erhalten dabei
    einen passenden Bereich.</li>
<li>Geben Sie Bildgröße, Bereich und Iterationen ein und wählen Sie ein Farbmodell.</li>
<li>Mit eingeschalteter <i>Vorschau</i> zeichnet <b>Berechnen</b> das Bild in das
    Vorschaufenster; ohne Vorschau wird es als Datei im Ordner <tt>pix</tt> gespeichert.</li>
<li>Ein zweiter Druck auf <b>Stop !</b> bricht die Berechnung ab; eine angefangene Datei
    wird dann gelöscht.</li>
<li><b>Bild ansehen</b> öffnet das zuletzt gespeicherte Bild im eingestellten Betrachter.</li>
</ol>

<h2><a name="topic101"></a>Bildgröße (Breite und Höhe)</h2>
<p>Breite und Höhe des Bildes in Pixeln, als ganze Zahlen. Eine Breite unter 0 oder über 20480
wird durch 640 ersetzt, eine Höhe unter 0 durch 480. Wer ein Größenfeld betritt, schaltet
die Vorschau aus, denn in der Vorschau gilt die Größe des Vorschaufensters. Eine Bildgröße für
den Druck liefert <a href="#topic200">Bildauflösung ermitteln</a> (F4).</p>

<h2><a name="topic106"></a>Berechnungsbereich</h2>
<p><i>real von</i> und <i>bis</i> begrenzen die reelle Achse (waagerecht), <i>imaginär von</i>
und <i>bis</i> die imaginäre Achse (senkrecht). Zahlen dürfen mit Komma oder Punkt geschrieben
werden, auch mit Exponent (1,5E-6). Ein leeres Feld erhält seinen Grundwert (-2; 0,5; -1,25;
1,25). Ist ein Startwert größer als sein Endwert, wird das Bild gespiegelt.</p>
<p>Der Abstand zweier Pixel ist (Ende − Start) / Breite bzw. (Ende − Start) / Höhe. Die erste
Bildzeile liegt beim imaginären Startwert, die erste Spalte beim reellen Startwert. Gerechnet
wird durchgehend mit 80-Bit-Gleitkommazahlen, so dass auch starke Vergrößerungen scharf
bleiben.</p>

<h2><a name="topic107"></a>Iterationen (Farbtiefe)</h2>
<p>Die größte Zahl von Iterationsschritten je Pixel. Sie bestimmt zugleich, wie viele Farben
das Bild haben kann. Beim Wechsel des Farbmodells wird 4096 (RGB, CMY) bzw. 256 (Farbpalette)
vorgeschlagen. Ohne Vorschau gilt: mit Farbpalette höchstens 255, sonst werden Werte unter 0
oder über 16777216 durch 2048 ersetzt. In der Vorschau wird auf höchstens 256 begrenzt.</p>

<h2><a name="julia"></a>Julia-Startwert</h2>
<p>Nur für die Julia-Menge: Real- und Imaginärteil der Konstanten k. Die Listen merken sich
die zuletzt verwendeten Werte über das Programmende hinaus.</p>

<h2><a name="formulas"></a>Formeln</h2>
<p>Für jedes Pixel wird ein Punkt c = cr + ci·i der Ebene bestimmt und eine Folge
z = x + y·i berechnet,
bis sie flieht oder die Iterationsgrenze erreicht ist. Die Zahl der Schritte ergibt die
Farbe.</p>
<table border="1" cellpadding="4" cellspacing="0">
<tr><th>Formel</th><th>Schritt</th><th>Start</th><th>flieht, wenn</th></tr>
<tr><td>Mandelbrot</td><td>z → z² + c</td><td>z = c</td><td>|z|² ≥ 4</td></tr>
<tr><td>Mandelbrot invertiert</td><td>x → √|x| − √|y| + cr,<br>y → 2·x·y + ci</td>
    <td>x = 1 / cr, y = 1 / ci</td><td>√|x| + √|y| ≥ 4</td></tr>
<tr><td>Julia</td><td>z → z² − k</td><td>z = c</td><td>|z|² ≥ 4</td></tr>
<tr><td>Dragon</td><td>z → z² + c − 0,74543 + 0,2·i</td><td>z = c</td><td>|z|² ≥ 4</td></tr>
<tr><td>Daisy</td><td>z → z² + c + 0,11031 − 0,67037·i</td><td>z = c</td><td>|z|² ≥ 4</td></tr>
<tr><td>Burning Ship</td><td>z → (|x| + |y|·i)² − c</td><td>z = 0</td>
    <td>|z|² größer als die Iterationsgrenze</td></tr>
</table>
<p><i>Rücksetzen</i> (F8) stellt alle Felder auf die Mandelbrot-Grundwerte zurück.</p>

<h2><a name="topic102"></a>Farbmodell RGB</h2>
<p>Die Schrittzahl n wird in drei Ziffern zur Basis N zerlegt, N = gerundete Kubikwurzel der
Iterationsgrenze + 1. Jede Ziffer wird mit 256 / N multipliziert: die niedrigste ergibt Rot,
die mittlere Grün, die höchste Blau. Punkte, die nie fliehen, erhalten die Farbe der
Iterationsgrenze. Die Befehle <i>RGB → CMY</i> und <i>RGB → GRAD</i> der
<a href="#convert">Farbraumkonvertierung</a> gehören ebenfalls hierher.</p>

<h2><a name="topic103"></a>Farbmodell CMY</h2>
<p>Die drei Ziffern wie bei RGB gelten als Cyan, Magenta und Gelb. Rot ist der Mittelwert von
Magenta und Gelb, Grün der von Cyan und Gelb, Blau der von Cyan und Magenta. Dazu gehören die
Befehle <i>CMY → RGB</i> und <i>CMY → GRAD</i> der Farbraumkonvertierung.</p>

<h2><a name="topic104"></a>Farbpalette (GRAD)</h2>
<p>Die Farbe wird einem Farbverlauf entnommen: n · 100 / Iterationsgrenze ergibt eine Stelle
zwischen 0 und 99 Prozent, zwischen deren Nachbarknoten linear gemischt wird. Den Verlauf
bearbeiten Sie mit <i>Farben → Farbpalette generieren</i> (F9); Verläufe lassen sich als
<tt>.pal</tt>-Dateien speichern und laden. Die Grundeinstellung verläuft von Schwarz über
Grau (20 %) nach Weiß.</p>

<h2><a name="topic108"></a>Invertiert</h2>
<p>Vor dem Färben wird n durch Iterationsgrenze − n ersetzt. Punkte, die nie fliehen, werden
so schwarz (RGB, CMY) bzw. erhalten die Anfangsfarbe der Palette.</p>

<h2><a name="topic105"></a>Vorschau, Zoomen und Verschieben</h2>
<p>Ist <i>Vorschau mit den eingegebenen Berechnungsparametern</i> eingeschaltet, rechnet
<b>Berechnen</b> in der Größe des Vorschaufensters und zeichnet jedes Pixel sofort; es
entsteht keine Datei, und die Iterationen sind auf 256 begrenzt. Die Lupen vergrößern bzw.
verkleinern den Bereich um 10 %, die Pfeile verschieben ihn um 10 %, und ein mit der Maus im
Vorschaufenster aufgezogenes Rechteck wird zum neuen Bereich. Danach beginnt gleich die
nächste Vorschau.</p>
<p><i>Fraktale → Ansicht zurück</i> (Alt+←) stellt den Bereich wieder her, der vor dem letzten
Zoomen, Verschieben, Aufziehen, Wählen einer Formel, Rücksetzen oder Laden einer Konfiguration galt;
<i>Ansicht vor</i> (Alt+→) geht diesen Weg wieder vorwärts. Nimbra merkt sich die letzten 100
Schritte, solange das Programm läuft. Was Sie selbst in die Felder tippen, ist kein Schritt.</p>

<h2><a name="convert"></a>Farbraumkonvertierung</h2>
<p>Unter <i>Farben → Farbraumkonvertierung</i> wird ein fertiges TGA-Bild umgefärbt, ohne es
neu zu berechnen. Die Kopie liegt im selben Ordner und heißt wie das Original mit dem
Vorsatz <tt>CONV_</tt>; eine vorhandene Datei dieses Namens wird überschrieben.</p>
<ul>
<li><i>RGB → CMY</i> und <i>CMY → RGB</i>: jedes Farbbyte wird zur Summe der beiden anderen
    (modulo 256).</li>
<li><i>RGB → GRAD</i> und <i>CMY → GRAD</i>: Sie wählen eine Farbe; das Bild wird zu einem
    Verlauf von Schwarz zu dieser Farbe nach der Helligkeit jedes Pixels.</li>
<li><i>GRAD → RGB</i> und <i>GRAD → CMY</i>: jede Farbkomponente wird mit der zuletzt
    gewählten Farbe gewichtet (vor der ersten Wahl Schwarz), bei CMY danach wie oben
    vertauscht.</li>
</ul>
<p>Ein Fenster zeigt den Fortschritt; eine Konvertierung läuft bis zum Ende.</p>

<h2><a name="topic200"></a>Bildauflösung ermitteln</h2>
<p>Im Menü <i>Fraktale → Bildauflösung ermitteln</i> (F4) wählen Sie ein Blattformat von A6 bis
A0 und eine Druckerauflösung. Die kurze Blattseite wird auf ganze Zoll gerundet und mit der
Auflösung multipliziert; das ergibt die Höhe. Die Breite ist die Höhe mal 1,414 (Querformat).
Beispiel: A4 bei 300 dpi ergibt 3394 × 2400 Pixel. Mit <b>OK</b> wird die Größe in die
Felder übernommen. Nach dem Schließen ist die Vorschau ausgeschaltet, damit die nächste
Berechnung eine Datei schreibt.</p>

<h2><a name="viewer"></a>Bild ansehen und Programm anpassen</h2>
<p>Nimbra zeigt fertige Bilder nicht selbst an. Unter <i>Fraktale → Extras → Programm
anpassen</i> (F5) wählen Sie mit <b>Suchen</b> ein Betrachtungsprogramm und bestätigen mit
<b>Übernehmen</b>. <b>Bild ansehen</b> startet es dann mit dem zuletzt gespeicherten Bild.</p>

<h2><a name="files"></a>Dateien und Ordner</h2>
<p>Alle Ordner liegen unterhalb des Ordners, in dem Nimbra gestartet wurde.</p>
<table border="1" cellpadding="4" cellspacing="0">
<tr><td><tt>pix/nimbra000.tga</tt> … <tt>nimbra254.tga</tt></td><td>berechnete Bilder, jeweils
    unter der nächsten freien Nummer</td></tr>
<tr><td><tt>pix/CONV_…</tt></td><td>umgefärbte Kopien</td></tr>
<tr><td><tt>pal/*.pal</tt></td><td>Farbverläufe</td></tr>
<tr><td><tt>cfg/*.cfg</tt></td><td>gespeicherte Konfigurationen: alle Eingaben, die Formel und
    gegebenenfalls der Farbverlauf (F2 laden, F3 speichern)</td></tr>
<tr><td><tt>param/nimbra.par</tt></td><td>die zuletzt verwendeten Julia-Startwerte</td></tr>
<tr><td><tt>param/nimbra.prf</tt></td><td>das eingestellte Betrachtungsprogramm</td></tr>
</table>
<p>Vor jedem Speichern prüft Nimbra den freien Platz auf dem Datenträger des Programms.</p>

<h2><a name="keys"></a>Tastenkürzel</h2>
<table border="1" cellpadding="4" cellspacing="0">
<tr><td>F1</td><td>diese Hilfe</td></tr>
<tr><td>F2 / F3</td><td>Konfiguration laden / speichern</td></tr>
<tr><td>F4</td><td>Bildauflösung ermitteln</td></tr>
<tr><td>Alt+← / Alt+→</td><td>Ansicht zurück / vor</td></tr>
<tr><td>F5</td><td>Programm anpassen</td></tr>
<tr><td>F8</td><td>Rücksetzen</td></tr>
<tr><td>F9</td><td>Farbpalette generieren</td></tr>
<tr><td>Strg+1 … Strg+6</td><td>Formeln</td></tr>
<tr><td>Alt+1 … Alt+6</td><td>Farbraumkonvertierung</td></tr>
<tr><td>Strg+O / Strg+U</td><td>Anleitung online / nach Updates suchen</td></tr>
<tr><td>Strg+I</td><td>über Nimbra</td></tr>
</table>
</body></html>)html";
}

}  // namespace nimbra
