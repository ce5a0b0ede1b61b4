<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AccessFixDialog</name>
    <message>
        <source>Allow access to the board</source>
        <translation>Zugriff auf die Platine erlauben</translation>
    </message>
    <message>
        <source>This installs a rule that lets the person at this computer use the KX5170 board. Nothing else on the computer changes.</source>
        <translation>Dies installiert eine Regel, mit der die Person an diesem Computer die KX5170-Platine benutzen darf. Sonst ändert sich nichts am Computer.</translation>
    </message>
    <message>
        <source>Copy commands</source>
        <translation>Befehle kopieren</translation>
    </message>
    <message>
        <source>Install rule</source>
        <translation>Regel installieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Waiting for the password...</source>
        <translation>Warte auf das Passwort …</translation>
    </message>
    <message>
        <source>The rule is installed. Unplug the board and plug it in again to apply it.</source>
        <translation>Die Regel ist installiert. Ziehen Sie die Platine ab und stecken Sie sie wieder ein, damit sie gilt.</translation>
    </message>
    <message>
        <source>The board&apos;s rule is turned off on this computer: %1 is a link to /dev/null or an empty file, and was left as it is. The computer&apos;s administrator can remove it to turn the rule on.</source>
        <translation>Die Regel der Platine ist auf diesem Computer abgeschaltet: %1 ist ein Verweis auf /dev/null oder eine leere Datei und wurde so belassen. Der Administrator des Computers kann sie entfernen, um die Regel einzuschalten.</translation>
    </message>
    <message>
        <source>%1 is already there and is not this program&apos;s rule: it was left as it is. The computer&apos;s administrator can change or remove it.</source>
        <translation>%1 ist bereits vorhanden und nicht die Regel dieses Programms: Sie wurde so belassen. Der Administrator des Computers kann sie ändern oder entfernen.</translation>
    </message>
    <message>
        <source>The rule is already installed by the kx5170-config package, in /usr/lib/udev/rules.d: nothing was changed. Unplug the board and plug it in again to apply it.</source>
        <translation>Die Regel ist bereits vom Paket kx5170-config installiert, in /usr/lib/udev/rules.d: Es wurde nichts geändert. Ziehen Sie die Platine ab und stecken Sie sie wieder ein, damit sie gilt.</translation>
    </message>
    <message>
        <source>The password request was cancelled.</source>
        <translation>Die Passwortabfrage wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The password could not be asked for, or permission was refused.</source>
        <translation>Das Passwort konnte nicht abgefragt werden, oder die Berechtigung wurde verweigert.</translation>
    </message>
    <message>
        <source>The rule installer failed.</source>
        <translation>Die Installation der Regel ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>The rule installer failed: %1.</source>
        <translation>Die Installation der Regel ist fehlgeschlagen: %1.</translation>
    </message>
    <message>
        <source> To install the rule yourself, run these commands in a terminal:</source>
        <translation> Um die Regel selbst zu installieren, führen Sie diese Befehle in einem Terminal aus:</translation>
    </message>
    <message>
        <source>Try again</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Kopiert</translation>
    </message>
    <message>
        <source>The rule installer was not found beside the program.</source>
        <translation>Das Installationsprogramm für die Regel wurde neben dem Programm nicht gefunden.</translation>
    </message>
    <message>
        <source>pkexec, which asks for the password, is not installed.</source>
        <translation>pkexec, das nach dem Passwort fragt, ist nicht installiert.</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>A settings file (.kx5170) to open once the board is loaded.</source>
        <translation>Eine Einstellungsdatei (.kx5170), die geöffnet wird, sobald die Platine geladen ist.</translation>
    </message>
    <message>
        <source>Simulated board: nothing is written to a real board</source>
        <translation>Simulierte Platine: Auf eine echte Platine wird nichts geschrieben</translation>
    </message>
    <message>
        <source>a simulated board</source>
        <translation>eine simulierte Platine</translation>
    </message>
    <message>
        <source>KX5170 configuration utility</source>
        <translation>KX5170-Konfigurationsprogramm</translation>
    </message>
    <message>
        <source>KX5170 controller configuration utility</source>
        <translation>Konfigurationsprogramm für die KX5170-Steuerplatine</translation>
    </message>
    <message>
        <source>KX5170 controller configuration utility, on a simulated board for trying it out</source>
        <translation>Konfigurationsprogramm für die KX5170-Steuerplatine, auf einer simulierten Platine zum Ausprobieren</translation>
    </message>
</context>
<context>
    <name>Setting</name>
    <message>
        <source>Stops (each side)</source>
        <translation>Anschläge (je Seite)</translation>
    </message>
    <message>
        <source>How far the wheel turns each side of the centre before the end stops push back.</source>
        <translation>Wie weit sich das Lenkrad zu jeder Seite der Mitte dreht, bevor die Anschläge dagegenhalten.</translation>
    </message>
    <message>
        <source>Centre offset</source>
        <translation>Mittenversatz</translation>
    </message>
    <message>
        <source>Where the wheel&apos;s centre lies, counted from the encoder&apos;s zero.</source>
        <translation>Wo die Mitte des Lenkrads liegt, gezählt vom Nullpunkt des Drehgebers.</translation>
    </message>
    <message>
        <source>Stops stiffness</source>
        <translation>Härte der Anschläge</translation>
    </message>
    <message>
        <source>How hard the end stops push the wheel back.</source>
        <translation>Wie hart die Anschläge das Lenkrad zurückdrücken.</translation>
    </message>
    <message>
        <source>Stops damping</source>
        <translation>Dämpfung der Anschläge</translation>
    </message>
    <message>
        <source>How much the end stops slow the wheel as it runs into them.</source>
        <translation>Wie stark die Anschläge das Lenkrad abbremsen, wenn es in sie hineinläuft.</translation>
    </message>
    <message>
        <source>Overall damping</source>
        <translation>Gesamtdämpfung</translation>
    </message>
    <message>
        <source>Resistance that grows with the wheel&apos;s speed, over the whole turn.</source>
        <translation>Widerstand, der mit der Geschwindigkeit des Lenkrads wächst, über die ganze Drehung.</translation>
    </message>
    <message>
        <source>Damper Effect scale</source>
        <translation>Stärke der Dämpfereffekte</translation>
    </message>
    <message>
        <source>Strength of the damper effects a game sends.</source>
        <translation>Stärke der Dämpfereffekte, die ein Spiel sendet.</translation>
    </message>
    <message>
        <source>All Effects scale</source>
        <translation>Stärke aller Effekte</translation>
    </message>
    <message>
        <source>Strength of every force effect a game sends.</source>
        <translation>Stärke aller Krafteffekte, die ein Spiel sendet.</translation>
    </message>
    <message>
        <source>Overall inertia</source>
        <translation>Gesamtträgheit</translation>
    </message>
    <message>
        <source>Resistance to changes of the wheel&apos;s speed, as if the rim were heavier.</source>
        <translation>Widerstand gegen Änderungen der Geschwindigkeit des Lenkrads, als wäre der Kranz schwerer.</translation>
    </message>
    <message>
        <source>Overall friction</source>
        <translation>Gesamtreibung</translation>
    </message>
    <message>
        <source>Constant resistance to turning the wheel.</source>
        <translation>Gleichbleibender Widerstand gegen das Drehen des Lenkrads.</translation>
    </message>
    <message>
        <source>Motor filter</source>
        <translation>Motorfilter</translation>
    </message>
    <message>
        <source>Smoothing of the motor&apos;s force: higher is smoother but slower.</source>
        <translation>Glättung der Motorkraft: höher ist glatter, aber träger.</translation>
    </message>
    <message>
        <source>Input filter</source>
        <translation>Eingangsfilter</translation>
    </message>
    <message>
        <source>Smoothing of the wheel&apos;s position reading: higher is smoother but slower.</source>
        <translation>Glättung der gemessenen Lenkradposition: höher ist glatter, aber träger.</translation>
    </message>
    <message>
        <source>Centering spring</source>
        <translation>Zentrierfeder</translation>
    </message>
    <message>
        <source>Strength of the spring that pulls the wheel back to the centre.</source>
        <translation>Stärke der Feder, die das Lenkrad zur Mitte zurückzieht.</translation>
    </message>
    <message>
        <source>counts</source>
        <extracomment>the unit of a setting counted in the encoder&apos;s steps</extracomment>
        <translation>Schritte</translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>Board found, but access was denied.</source>
        <translation>Platine gefunden, aber der Zugriff wurde verweigert.</translation>
    </message>
    <message>
        <source>Board found, but it could not be opened.</source>
        <translation>Platine gefunden, aber sie konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>No board found: plug it in. If it is plugged in, kx5170ctl doctor tells what stands in the way. File &gt; Open works on a profile meanwhile.</source>
        <translation>Keine Platine gefunden: Stecken Sie sie ein. Wenn sie eingesteckt ist, sagt kx5170ctl doctor, was im Weg steht. Mit Datei &gt; Einstellungen öffnen lässt sich solange ein Profil bearbeiten.</translation>
    </message>
    <message>
        <source>No board found: plug it in. %1 opens once it is loaded.</source>
        <translation>Keine Platine gefunden: Stecken Sie sie ein. %1 wird geöffnet, sobald sie geladen ist.</translation>
    </message>
    <message>
        <source>Board ready.</source>
        <translation>Platine bereit.</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Wheel configuration</source>
        <translation>Lenkradkonfiguration</translation>
    </message>
    <message>
        <source>Device details</source>
        <translation>Angaben zur Platine</translation>
    </message>
    <message>
        <source>Manufacturer</source>
        <translation>Hersteller</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Produkt</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>counts</source>
        <translation>Schritte</translation>
    </message>
    <message>
        <source>Current position</source>
        <translation>Aktuelle Position</translation>
    </message>
    <message>
        <source>degrees</source>
        <translation>Grad</translation>
    </message>
    <message>
        <source>Centre</source>
        <translation>Mitte</translation>
    </message>
    <message>
        <source>Damping</source>
        <translation>Dämpfung</translation>
    </message>
    <message>
        <source>Inertia</source>
        <translation>Trägheit</translation>
    </message>
    <message>
        <source>Friction</source>
        <translation>Reibung</translation>
    </message>
    <message>
        <source>Stops</source>
        <translation>Anschläge</translation>
    </message>
    <message>
        <source>Stiffness</source>
        <translation>Härte</translation>
    </message>
    <message>
        <source>Spring</source>
        <translation>Feder</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Stärke</translation>
    </message>
    <message>
        <source>Write and reset</source>
        <translation>Schreiben und zurücksetzen</translation>
    </message>
    <message>
        <source>Write and keep open</source>
        <translation>Schreiben und offen lassen</translation>
    </message>
    <message>
        <source>quitting</source>
        <extracomment>completes &quot;Save them before %1?&quot;</extracomment>
        <translation>dem Beenden</translation>
    </message>
    <message>
        <source>Closing once the write has finished...</source>
        <translation>Wird geschlossen, sobald das Schreiben beendet ist …</translation>
    </message>
    <message>
        <source>No board</source>
        <translation>Keine Platine</translation>
    </message>
    <message>
        <source>The administrator turned the board&apos;s rule off (%1).</source>
        <translation>Der Administrator hat die Regel der Platine abgeschaltet (%1).</translation>
    </message>
    <message>
        <source>Its rule (%1) gives it to the person at the computer only: kx5170ctl doctor tells what stands in the way.</source>
        <translation>Ihre Regel (%1) gibt sie nur für die Person am Computer frei: kx5170ctl doctor sagt, was im Weg steht.</translation>
    </message>
    <message>
        <source>%1: unplug it and plug it in again.</source>
        <translation>%1: Ziehen Sie sie ab und stecken Sie sie wieder ein.</translation>
    </message>
    <message>
        <source>Board ready.</source>
        <translation>Platine bereit.</translation>
    </message>
    <message>
        <source>Fix...</source>
        <translation>Beheben …</translation>
    </message>
    <message>
        <source>
kx5170ctl doctor tells what stands between you and the board.</source>
        <translation>
kx5170ctl doctor sagt, was zwischen Ihnen und der Platine steht.</translation>
    </message>
    <message>
        <source>Reading the board...</source>
        <translation>Platine wird gelesen …</translation>
    </message>
    <message>
        <source>Writing the settings to the board...</source>
        <translation>Einstellungen werden auf die Platine geschrieben …</translation>
    </message>
    <message>
        <source>The settings could not be read: %1. Press F5 to try again.</source>
        <translation>Die Einstellungen konnten nicht gelesen werden: %1. Drücken Sie F5, um es erneut zu versuchen.</translation>
    </message>
    <message>
        <source>The board is back; your values are kept. F5 takes the board&apos;s values.</source>
        <translation>Die Platine ist wieder da; Ihre Werte bleiben erhalten. F5 übernimmt die Werte der Platine.</translation>
    </message>
    <message>
        <source>Another board is plugged in (%1); your values came from the board %2. F5 takes this board&apos;s values.</source>
        <translation>Eine andere Platine ist eingesteckt (%1); Ihre Werte stammen von der Platine %2. F5 übernimmt die Werte dieser Platine.</translation>
    </message>
    <message>
        <source> File &gt; Restore the board&apos;s own settings does it here.</source>
        <translation> Datei &gt; Eigene Einstellungen der Platine zurückschreiben erledigt das hier.</translation>
    </message>
    <message>
        <source>The profile in the boxes</source>
        <translation>Das Profil in den Feldern</translation>
    </message>
    <message>
        <source>The board is here, with your profile in the boxes: press &quot;Write and reset&quot; to send it.</source>
        <translation>Die Platine ist da, Ihr Profil steht in den Feldern: Drücken Sie „Schreiben und zurücksetzen“, um es zu senden.</translation>
    </message>
    <message>
        <source>Board lost</source>
        <translation>Platine getrennt</translation>
    </message>
    <message>
        <source>Wheel settings (*.kx5170);;All files (*)</source>
        <translation>Lenkradeinstellungen (*.kx5170);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>an unknown number of</source>
        <translation>einer unbekannten Zahl von</translation>
    </message>
    <message>
        <source>Open settings</source>
        <translation>Einstellungen öffnen</translation>
    </message>
    <message>
        <source>Save settings as</source>
        <translation>Einstellungen speichern unter</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Open settings...</source>
        <translation>Einstellungen öffnen …</translation>
    </message>
    <message>
        <source>Open &amp;recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Save settings as...</source>
        <translation>Einstellungen speichern unter …</translation>
    </message>
    <message>
        <source>Reload from board</source>
        <translation>Von der Platine neu laden</translation>
    </message>
    <message>
        <source>Restore the board&apos;s own settings</source>
        <translation>Eigene Einstellungen der Platine zurückschreiben</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>

The boxes were not changed.</source>
        <translation>

Die Felder wurden nicht geändert.</translation>
    </message>
    <message>
        <source>The values in the boxes have not been written or saved. Save them before %1?</source>
        <extracomment>%1 is &quot;quitting&quot; or &quot;opening %1&quot;, translated on their own</extracomment>
        <translation>Die Werte in den Feldern wurden weder geschrieben noch gespeichert. Vor %1 speichern?</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Type %1 (%2 steps a turn)</source>
        <translation>Typ %1 (%2 Schritte pro Umdrehung)</translation>
    </message>
    <message>
        <source>No board is plugged in. Which type of board is %1 for? Its stops and centre offset are counted in that board&apos;s steps.</source>
        <translation>Es ist keine Platine eingesteckt. Für welchen Platinentyp ist %1? Anschläge und Mittenversatz werden in den Schritten dieser Platine gezählt.</translation>
    </message>
    <message>
        <source>%1 was saved from a board that counts %2 steps a turn; this board counts %3. Its centre offset and stops would mean other angles here.

%4</source>
        <translation>%1 wurde von einer Platine mit %2 Schritten pro Umdrehung gespeichert; diese Platine arbeitet mit %3. Mittenversatz und Anschläge ergäben hier andere Winkel.

%4</translation>
    </message>
    <message>
        <source>They cannot be converted: %1. Open it as it is?</source>
        <translation>Sie lassen sich nicht umrechnen: %1. Unverändert öffnen?</translation>
    </message>
    <message>
        <source>Convert them to this board&apos;s counts, so that they keep their angles?</source>
        <translation>In die Schritte dieser Platine umrechnen, damit die Winkel gleich bleiben?</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Umrechnen</translation>
    </message>
    <message>
        <source>Open as it is</source>
        <translation>Unverändert öffnen</translation>
    </message>
    <message>
        <source>opening %1</source>
        <extracomment>completes &quot;Save them before %1?&quot;; %1 is a file&apos;s name</extracomment>
        <translation>dem Öffnen von %1</translation>
    </message>
    <message>
        <source>%1: %2

The boxes were not changed.</source>
        <translation>%1: %2

Die Felder wurden nicht geändert.</translation>
    </message>
    <message>
        <source>%1 is open for a type-%2 board. Save keeps your changes; writing needs the board plugged in.</source>
        <translation>%1 ist für eine Platine vom Typ %2 geöffnet. Speichern sichert Ihre Änderungen; zum Schreiben muss die Platine eingesteckt sein.</translation>
    </message>
    <message>
        <source>Opened: press &quot;Write and reset&quot; to send.</source>
        <translation>Geöffnet: Drücken Sie „Schreiben und zurücksetzen“, um zu senden.</translation>
    </message>
    <message>
        <source>%1 is in the boxes; nothing has been sent to the board yet.</source>
        <translation>%1 steht in den Feldern; an die Platine wurde noch nichts gesendet.</translation>
    </message>
    <message>
        <source>Could not save %1: %2</source>
        <translation>%1 konnte nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Saved to %1.</source>
        <translation>Gespeichert in %1.</translation>
    </message>
    <message>
        <source>%1 is no longer there; it is taken off the list.</source>
        <translation>%1 ist nicht mehr vorhanden und wird von der Liste genommen.</translation>
    </message>
    <message>
        <source>No files yet</source>
        <translation>Noch keine Dateien</translation>
    </message>
    <message>
        <source>Replace the values in the boxes with the board&apos;s? Your values have not been written.</source>
        <translation>Die Werte in den Feldern durch die der Platine ersetzen? Ihre Werte wurden nicht geschrieben.</translation>
    </message>
    <message>
        <source>Write back the settings the board had before kx5170ctl run put a file on it? The board resets and comes back with them.</source>
        <translation>Die Einstellungen zurückschreiben, die die Platine hatte, bevor kx5170ctl run eine Datei darauf schrieb? Die Platine setzt sich zurück und meldet sich mit ihnen wieder.</translation>
    </message>
    <message>
        <source>The board&apos;s own settings are back.</source>
        <translation>Die eigenen Einstellungen der Platine sind zurück.</translation>
    </message>
    <message>
        <source>The board&apos;s own settings were not put back: %1.</source>
        <translation>Die eigenen Einstellungen der Platine wurden nicht zurückgeschrieben: %1.</translation>
    </message>
    <message>
        <source>Not read: the board went away before it could be read.</source>
        <translation>Nicht gelesen: Die Platine war weg, bevor sie gelesen werden konnte.</translation>
    </message>
    <message>
        <source>%1
Version %2

%3.

Licence: %4
Qt %5</source>
        <translation>%1
Version %2

%3.

Lizenz: %4
Qt %5</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Percent, </source>
        <translation>Prozent, </translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>; a value outside is brought into range.</source>
        <translation>; ein Wert außerhalb wird auf den Bereich begrenzt.</translation>
    </message>
    <message>
        <source>; a value outside is refused.</source>
        <translation>; ein Wert außerhalb wird abgelehnt.</translation>
    </message>
    <message>
        <source>
On this board %1 counts = %2 degrees.</source>
        <translation>
Auf dieser Platine sind %1 Schritte = %2 Grad.</translation>
    </message>
    <message>
        <source>
On this board one turn is %1 counts.</source>
        <translation>
Auf dieser Platine hat eine Umdrehung %1 Schritte.</translation>
    </message>
    <message>
        <source>%1: enter a number, %2 to %3.</source>
        <translation>%1: Geben Sie eine Zahl von %2 bis %3 ein.</translation>
    </message>
    <message>
        <source>%1: enter a whole number, %2 to %3.</source>
        <translation>%1: Geben Sie eine ganze Zahl von %2 bis %3 ein.</translation>
    </message>
    <message>
        <source>serial %1</source>
        <translation>Seriennummer %1</translation>
    </message>
    <message>
        <source>at %1</source>
        <translation>an %1</translation>
    </message>
    <message>
        <source>with no serial number</source>
        <translation>ohne Seriennummer</translation>
    </message>
    <message>
        <source>The values in the boxes came from another board (%1). Write them to this board (%2)?</source>
        <translation>Die Werte in den Feldern stammen von einer anderen Platine (%1). Auf diese Platine (%2) schreiben?</translation>
    </message>
    <message>
        <source>Written; the board is resetting...</source>
        <translation>Geschrieben; die Platine setzt sich zurück …</translation>
    </message>
    <message>
        <source>Not written: the board went away before the write started.</source>
        <translation>Nicht geschrieben: Die Platine war weg, bevor das Schreiben begann.</translation>
    </message>
    <message>
        <source>Not written: the board was read again before the write started. Check the values and write again.</source>
        <translation>Nicht geschrieben: Die Platine wurde erneut gelesen, bevor das Schreiben begann. Prüfen Sie die Werte und schreiben Sie erneut.</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1 (Prozess %2)</translation>
    </message>
    <message>
        <source>a program</source>
        <translation>ein Programm</translation>
    </message>
    <message>
        <source>%1 is using the board. Writing resets the board, and it would lose the wheel (a game would lose it mid-race).

Write anyway?</source>
        <translation>%1 benutzt die Platine. Schreiben setzt die Platine zurück, und das Programm verlöre das Lenkrad (ein Spiel mitten im Rennen).

Trotzdem schreiben?</translation>
    </message>
    <message>
        <source>Not written: the board is in use by %1.</source>
        <translation>Nicht geschrieben: Die Platine wird von %1 benutzt.</translation>
    </message>
    <message>
        <source>Settings not written: %1.</source>
        <translation>Einstellungen nicht geschrieben: %1.</translation>
    </message>
    <message>
        <source>Settings sent, but the board was not reset, so they may not be stored: %1.</source>
        <translation>Einstellungen gesendet, aber die Platine wurde nicht zurückgesetzt; sie sind vielleicht nicht gespeichert: %1.</translation>
    </message>
    <message>
        <source>Written, but not read back: %1.</source>
        <translation>Geschrieben, aber nicht zurückgelesen: %1.</translation>
    </message>
    <message>
        <source>%1 is %2, not %3</source>
        <translation>%1 ist %2, nicht %3</translation>
    </message>
    <message>
        <source>%1: %2 was written as %3</source>
        <translation>%1: %2 wurde als %3 geschrieben</translation>
    </message>
    <message>
        <source>%1: %2 as %3</source>
        <translation>%1: %2 als %3</translation>
    </message>
    <message>
        <source>Written and read back.</source>
        <translation>Geschrieben und zurückgelesen.</translation>
    </message>
    <message>
        <source>Written and read back. %1.</source>
        <translation>Geschrieben und zurückgelesen. %1.</translation>
    </message>
    <message>
        <source>Written, but the board holds other values: %1.</source>
        <translation>Geschrieben, aber die Platine hat andere Werte: %1.</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; could mean %3 or %4. Type %3 or %4.</source>
        <translation>%1: „%2“ kann %3 oder %4 bedeuten. Geben Sie %3 oder %4 ein.</translation>
    </message>
</context>
<context>
    <name>kx::RotationField</name>
    <message>
        <source>degrees lock to lock</source>
        <translation>Grad von Anschlag zu Anschlag</translation>
    </message>
    <message>
        <source>The wheel&apos;s turn from one end stop to the other. Typing it sets Stops (each side) to the nearest whole count.</source>
        <translation>Die Drehung des Lenkrads von einem Anschlag zum anderen. Eine Eingabe setzt „Anschläge (je Seite)“ auf den nächsten ganzen Schritt.</translation>
    </message>
    <message>
        <source>Rotation, degrees lock to lock</source>
        <translation>Drehbereich, Grad von Anschlag zu Anschlag</translation>
    </message>
    <message>
        <source>Type the rotation in degrees, such as 900.</source>
        <translation>Geben Sie den Drehbereich in Grad ein, etwa 900.</translation>
    </message>
    <message>
        <source>This board turns at most %1 degrees lock to lock.</source>
        <translation>Diese Platine dreht höchstens %1 Grad von Anschlag zu Anschlag.</translation>
    </message>
    <message>
        <source>The rotation in degrees needs the board&apos;s type, which is not known yet: set Stops (each side) in counts.</source>
        <translation>Für den Drehbereich in Grad muss der Typ der Platine bekannt sein, und er ist es noch nicht: Setzen Sie „Anschläge (je Seite)“ in Schritten.</translation>
    </message>
    <message>
        <source>degrees lock to lock (board type unknown)</source>
        <translation>Grad von Anschlag zu Anschlag (Platinentyp unbekannt)</translation>
    </message>
</context>
<context>
    <name>kx::WheelPicture</name>
    <message>
        <source>No board</source>
        <translation>Keine Platine</translation>
    </message>
    <message>
        <source>Wheel: %1</source>
        <translation>Lenkrad: %1</translation>
    </message>
    <message>
        <source>%1 counts</source>
        <translation>%1 Schritte</translation>
    </message>
    <message>
        <source>centre offset %1</source>
        <translation>Mittenversatz %1</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>kein Messwert</translation>
    </message>
    <message>
        <source>%1 degrees lock to lock</source>
        <translation>%1 Grad von Anschlag zu Anschlag</translation>
    </message>
    <message>
        <source>%1 counts lock to lock</source>
        <translation>%1 Schritte von Anschlag zu Anschlag</translation>
    </message>
    <message>
        <source>Last 10 s, degrees</source>
        <translation>Letzte 10 s, Grad</translation>
    </message>
    <message>
        <source>Last 10 s, counts</source>
        <translation>Letzte 10 s, Schritte</translation>
    </message>
    <message>
        <source>%1
counts</source>
        <translation>%1
Schritte</translation>
    </message>
    <message>
        <source>%1 degrees</source>
        <translation>%1 Grad</translation>
    </message>
</context>
</TS>
