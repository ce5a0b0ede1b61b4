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
    <name>BoardSession</name>
    <message>
        <source>opening it</source>
        <translation>beim Öffnen</translation>
    </message>
    <message>
        <source>reading its settings (report 8)</source>
        <translation>beim Lesen ihrer Einstellungen (Report 8)</translation>
    </message>
    <message>
        <source>sending the settings (report 8, command 1)</source>
        <translation>beim Senden der Einstellungen (Report 8, Befehl 1)</translation>
    </message>
    <message>
        <source>asking it to store them (report 8, command 2)</source>
        <translation>beim Auftrag zum Speichern (Report 8, Befehl 2)</translation>
    </message>
    <message>
        <source>asking it to store them (report 8, command 3)</source>
        <translation>beim Auftrag zum Speichern (Report 8, Befehl 3)</translation>
    </message>
    <message>
        <source>asking it to reset (report 32)</source>
        <translation>beim Auftrag zum Neustart (Report 32)</translation>
    </message>
    <message>
        <source>waiting for its reset</source>
        <translation>beim Warten auf ihren Neustart</translation>
    </message>
    <message>
        <source>waiting for it to come back from its reset</source>
        <translation>beim Warten auf ihre Rückkehr nach dem Neustart</translation>
    </message>
    <message>
        <source>reading its settings back</source>
        <translation>beim Zurücklesen ihrer Einstellungen</translation>
    </message>
    <message>
        <source>no board found</source>
        <translation>keine Platine gefunden</translation>
    </message>
    <message>
        <source>access was denied</source>
        <translation>der Zugriff wurde verweigert</translation>
    </message>
    <message>
        <source>the board went away</source>
        <translation>die Platine ist verschwunden</translation>
    </message>
    <message>
        <source>the board refused the request</source>
        <translation>die Platine hat die Anfrage abgelehnt</translation>
    </message>
    <message>
        <source>the board did not answer in time</source>
        <translation>die Platine hat nicht rechtzeitig geantwortet</translation>
    </message>
    <message>
        <source>the request failed</source>
        <translation>die Anfrage ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>its answer was too short</source>
        <translation>ihre Antwort war zu kurz</translation>
    </message>
    <message>
        <source>it answered with another report</source>
        <translation>sie hat mit einem anderen Report geantwortet</translation>
    </message>
    <message>
        <source>the report was cut short</source>
        <translation>der Report wurde abgeschnitten</translation>
    </message>
    <message>
        <source>a value cannot be stored by the board</source>
        <translation>ein Wert kann von der Platine nicht gespeichert werden</translation>
    </message>
    <message>
        <source>it did not reset: the settings may not be stored</source>
        <translation>sie ist nicht neu gestartet: die Einstellungen sind womöglich nicht gespeichert</translation>
    </message>
    <message>
        <source>it did not come back</source>
        <translation>sie ist nicht zurückgekommen</translation>
    </message>
    <message>
        <source>the board</source>
        <translation>die Platine</translation>
    </message>
    <message>
        <source>the board at %1</source>
        <translation>die Platine an %1</translation>
    </message>
    <message>
        <source>%1: %2 while %3</source>
        <translation>%1, %3: %2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>report 8 is %1 bytes, the settings need %2</source>
        <translation>Report 8 hat %1 Bytes, die Einstellungen brauchen %2</translation>
    </message>
    <message>
        <source>%1 bytes, the settings need %2</source>
        <translation>%1 Bytes, die Einstellungen brauchen %2</translation>
    </message>
    <message>
        <source>report %1 in place of 8</source>
        <translation>Report %1 statt 8</translation>
    </message>
    <message>
        <source>%1 of %2 bytes</source>
        <translation>%1 von %2 Bytes</translation>
    </message>
    <message>
        <source>the request ended with: %1</source>
        <translation>die Anfrage endete mit: %1</translation>
    </message>
    <message>
        <source>still there %1 s after the reset request</source>
        <translation>noch %1 s nach dem Auftrag zum Neustart vorhanden</translation>
    </message>
    <message>
        <source>it has no serial number and its port is unknown, so it cannot be told from another board</source>
        <translation>sie hat keine Seriennummer und ihr Port ist unbekannt, daher ist sie von einer anderen Platine nicht zu unterscheiden</translation>
    </message>
    <message>
        <source>not back within %1 s of its reset: %2</source>
        <translation>nicht binnen %1 s nach ihrem Neustart zurück: %2</translation>
    </message>
    <message>
        <source>not back within %1 s of its reset</source>
        <translation>nicht binnen %1 s nach ihrem Neustart zurück</translation>
    </message>
    <message>
        <source>the processes of other users are hidden from this user (/proc is mounted with hidepid), so they could not be checked; run as root to check them</source>
        <translation>die Prozesse anderer Benutzer sind für diesen Benutzer verborgen (/proc ist mit hidepid eingebunden) und konnten daher nicht geprüft werden; als root ausführen, um sie zu prüfen</translation>
    </message>
    <message>
        <source>%1 process of other users could not be checked; run as root to check them</source>
        <translation>%1 Prozess anderer Benutzer konnte nicht geprüft werden; als root ausführen, um ihn zu prüfen</translation>
    </message>
    <message>
        <source>%1 processes of other users could not be checked; run as root to check them</source>
        <translation>%1 Prozesse anderer Benutzer konnten nicht geprüft werden; als root ausführen, um sie zu prüfen</translation>
    </message>
</context>
<context>
    <name>RestoreJournal</name>
    <message>
        <source>not a saved entry (not a JSON object)</source>
        <translation>kein gesicherter Eintrag (kein JSON-Objekt)</translation>
    </message>
    <message>
        <source>not a saved entry of this version of the program</source>
        <translation>kein gesicherter Eintrag dieser Programmversion</translation>
    </message>
    <message>
        <source>its %1 is missing</source>
        <translation>sein Feld %1 fehlt</translation>
    </message>
    <message>
        <source>its product, version, time or process is not a number it can be</source>
        <translation>Produkt, Version, Zeit oder Prozess ist keine gültige Zahl</translation>
    </message>
    <message>
        <source>its settings bytes are not a settings report</source>
        <translation>seine Einstellungsbytes sind kein Einstellungs-Report</translation>
    </message>
    <message>
        <source>no folder to keep it in (neither XDG_STATE_HOME nor HOME is set)</source>
        <translation>kein Ordner, um ihn aufzubewahren (weder XDG_STATE_HOME noch HOME ist gesetzt)</translation>
    </message>
    <message>
        <source>cannot make %1: %2</source>
        <translation>%1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>in %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot sync %1: %2</source>
        <translation>%1 kann nicht synchronisiert werden: %2</translation>
    </message>
    <message>
        <source>cannot remove %1: %2</source>
        <translation>%1 kann nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>too long to be a saved entry</source>
        <translation>zu lang für einen gesicherten Eintrag</translation>
    </message>
    <message>
        <source>the settings from standard input</source>
        <translation>die Einstellungen aus der Standardeingabe</translation>
    </message>
    <message>
        <source>The board still holds %1 (put on by run at %2, which did not finish); kx5170ctl restore --board %3 puts its own settings back.</source>
        <translation>Die Platine hat noch %1 (von run aufgespielt, %2, nicht zu Ende gelaufen); kx5170ctl restore --board %3 stellt ihre eigenen Einstellungen wieder her.</translation>
    </message>
    <message>
        <source>The board still holds %1 (put on by run at %2, which did not finish); kx5170ctl restore puts its own settings back.</source>
        <translation>Die Platine hat noch %1 (von run aufgespielt, %2, nicht zu Ende gelaufen); kx5170ctl restore stellt ihre eigenen Einstellungen wieder her.</translation>
    </message>
    <message>
        <source>the saved settings report is too short to hold the settings</source>
        <translation>der gesicherte Einstellungs-Report ist zu kurz für die Einstellungen</translation>
    </message>
    <message>
        <source>the saved settings were not written</source>
        <translation>die gesicherten Einstellungen wurden nicht geschrieben</translation>
    </message>
    <message>
        <source>the saved settings were sent, but the board did not reset, so it may not store them</source>
        <translation>die gesicherten Einstellungen wurden gesendet, aber die Platine ist nicht neu gestartet und speichert sie daher womöglich nicht</translation>
    </message>
    <message>
        <source>the board did not read back after the restore</source>
        <translation>die Platine ließ sich nach dem Wiederherstellen nicht zurücklesen</translation>
    </message>
    <message>
        <source>the board holds other bytes than its own after the restore (%1)</source>
        <translation>die Platine hat nach dem Wiederherstellen andere Bytes als ihre eigenen (%1)</translation>
    </message>
    <message>
        <source>the board&apos;s own settings are back, but %1</source>
        <translation>die eigenen Einstellungen der Platine sind wiederhergestellt, aber %1</translation>
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
    <name>SettingsFile</name>
    <message>
        <source>larger than 64 KiB: not a settings file</source>
        <translation>größer als 64 KiB: keine Einstellungsdatei</translation>
    </message>
    <message>
        <source>not UTF-8 text: not a settings file</source>
        <translation>kein UTF-8-Text: keine Einstellungsdatei</translation>
    </message>
    <message>
        <source>&quot;stops&quot; and &quot;rotation&quot; say the same thing twice (the other is on line %1): give one of them</source>
        <translation>„stops“ und „rotation“ sagen zweimal dasselbe (das andere steht in Zeile %1): geben Sie nur eines an</translation>
    </message>
    <message>
        <source>expected &quot;key = value&quot;, found %1</source>
        <translation>erwartet wurde „Schlüssel = Wert“, gefunden %1</translation>
    </message>
    <message>
        <source>not a settings file: the first line must be &quot;kx5170-settings = 1&quot;</source>
        <translation>keine Einstellungsdatei: die erste Zeile muss „kx5170-settings = 1“ lauten</translation>
    </message>
    <message>
        <source>settings file version %1 is not one this program reads (it reads version 1)</source>
        <translation>Einstellungsdatei der Version %1 kann dieses Programm nicht lesen (es liest Version 1)</translation>
    </message>
    <message>
        <source>&quot;kx5170-settings&quot; is given twice</source>
        <translation>„kx5170-settings“ steht zweimal in der Datei</translation>
    </message>
    <message>
        <source>&quot;board_type&quot; is given twice (first on line %1)</source>
        <translation>„board_type“ steht zweimal in der Datei (zuerst in Zeile %1)</translation>
    </message>
    <message>
        <source>&quot;board_type&quot; must be a whole number from 0 to 255, not %1</source>
        <translation>„board_type“ muss eine ganze Zahl von 0 bis 255 sein, nicht %1</translation>
    </message>
    <message>
        <source>&quot;rotation&quot; is given twice (first on line %1)</source>
        <translation>„rotation“ steht zweimal in der Datei (zuerst in Zeile %1)</translation>
    </message>
    <message>
        <source>&quot;rotation&quot; must be degrees lock to lock, such as 900 or 899.9, not %1</source>
        <translation>„rotation“ muss der Lenkbereich von Anschlag zu Anschlag in Grad sein, etwa 900 oder 899.9, nicht %1</translation>
    </message>
    <message>
        <source>unknown setting %1</source>
        <translation>unbekannte Einstellung %1</translation>
    </message>
    <message>
        <source>%1 is given twice (first on line %2)</source>
        <translation>%1 steht zweimal in der Datei (zuerst in Zeile %2)</translation>
    </message>
    <message>
        <source>%1 must be a whole number, not %2</source>
        <translation>%1 muss eine ganze Zahl sein, nicht %2</translation>
    </message>
    <message>
        <source>%1 = %2 is outside its range, %3 to %4</source>
        <translation>%1 = %2 liegt außerhalb des Bereichs %3 bis %4</translation>
    </message>
    <message>
        <source>rotation = %1 needs the board&apos;s type, which is not known, to be made stops: give stops in counts instead</source>
        <translation>rotation = %1 braucht den Typ der Platine, der nicht bekannt ist, um daraus Anschläge zu machen: geben Sie stattdessen stops in Schritten an</translation>
    </message>
    <message>
        <source>rotation = %1 would be stops = %2, outside its range, %3 to %4: this board turns at most %5 degrees lock to lock</source>
        <translation>rotation = %1 ergäbe stops = %2, außerhalb des Bereichs %3 bis %4: diese Platine dreht höchstens %5 Grad von Anschlag zu Anschlag</translation>
    </message>
    <message>
        <source>the file does not say which board type it was saved from (no &quot;board_type&quot; line), so its counts a turn are unknown</source>
        <translation>die Datei sagt nicht, von welchem Platinentyp sie gespeichert wurde (keine Zeile „board_type“), daher sind ihre Schritte je Umdrehung unbekannt</translation>
    </message>
    <message>
        <source>the file was saved from board type %1, whose counts a turn this program does not know</source>
        <translation>die Datei wurde von Platinentyp %1 gespeichert, dessen Schritte je Umdrehung dieses Programm nicht kennt</translation>
    </message>
    <message>
        <source>this board is board type %1, whose counts a turn this program does not know</source>
        <translation>diese Platine ist vom Typ %1, dessen Schritte je Umdrehung dieses Programm nicht kennt</translation>
    </message>
    <message>
        <source>this board&apos;s type could not be read, so its counts a turn are unknown</source>
        <translation>der Typ dieser Platine konnte nicht gelesen werden, daher sind ihre Schritte je Umdrehung unbekannt</translation>
    </message>
    <message>
        <source>%1 = %2 at %3 counts a turn would be %4 at this board&apos;s %5, outside its range, %6 to %7</source>
        <translation>%1 = %2 bei %3 Schritten je Umdrehung ergäbe %4 bei den %5 dieser Platine, außerhalb des Bereichs %6 bis %7</translation>
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
    <name>kx5170ctl</name>
    <message>
        <source>install the board&apos;s udev rule, which lets the person at this computer use it: click &quot;Fix...&quot; in kx5170-config, or run the commands under &quot;Board not found?&quot; in the README</source>
        <translation>die udev-Regel der Platine installieren, mit der die Person an diesem Computer sie benutzen darf: in kx5170-config auf „Beheben...“ klicken oder die Befehle unter „Board not found?“ in der README ausführen</translation>
    </message>
    <message>
        <source>Stops (each side)</source>
        <translation>Anschläge (je Seite)</translation>
    </message>
    <message>
        <source>Centre offset</source>
        <translation>Mittenversatz</translation>
    </message>
    <message>
        <source>Stops stiffness</source>
        <translation>Härte der Anschläge</translation>
    </message>
    <message>
        <source>Stops damping</source>
        <translation>Dämpfung der Anschläge</translation>
    </message>
    <message>
        <source>Overall damping</source>
        <translation>Dämpfung gesamt</translation>
    </message>
    <message>
        <source>Damper Effect scale</source>
        <translation>Stärke der Dämpfereffekte</translation>
    </message>
    <message>
        <source>All Effects scale</source>
        <translation>Stärke aller Effekte</translation>
    </message>
    <message>
        <source>Overall inertia</source>
        <translation>Trägheit gesamt</translation>
    </message>
    <message>
        <source>Overall friction</source>
        <translation>Reibung gesamt</translation>
    </message>
    <message>
        <source>Motor filter</source>
        <translation>Motorfilter</translation>
    </message>
    <message>
        <source>Input filter</source>
        <translation>Eingangsfilter</translation>
    </message>
    <message>
        <source>Centering spring</source>
        <translation>Zentrierfeder</translation>
    </message>
    <message>
        <source>counts</source>
        <translation>Schritte</translation>
    </message>
    <message>
        <source>no KX5170 board found: plug it in (kx5170ctl list shows what is present)</source>
        <translation>keine KX5170-Platine gefunden: bitte anstecken (kx5170ctl list zeigt, was vorhanden ist)</translation>
    </message>
    <message>
        <source>%1: unplug it, plug it in again and retry</source>
        <translation>%1: Platine ab- und wieder anstecken und erneut versuchen</translation>
    </message>
    <message>
        <source>%1: unplug the board, plug it in again and check its settings with kx5170ctl show</source>
        <translation>%1: Platine ab- und wieder anstecken und ihre Einstellungen mit kx5170ctl show prüfen</translation>
    </message>
    <message>
        <source>no KX5170 board with serial number %1 found: kx5170ctl list shows the boards present</source>
        <translation>keine KX5170-Platine mit der Seriennummer %1 gefunden: kx5170ctl list zeigt die vorhandenen Platinen</translation>
    </message>
    <message>
        <source>no KX5170 board at %1 found: kx5170ctl list shows the boards present</source>
        <translation>keine KX5170-Platine an %1 gefunden: kx5170ctl list zeigt die vorhandenen Platinen</translation>
    </message>
    <message>
        <source>a program</source>
        <translation>einem Programm</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>note: %1</source>
        <translation>Hinweis: %1</translation>
    </message>
    <message>
        <source>the board is in use by %1: close it, or use --force-in-use to write anyway</source>
        <translation>die Platine wird von %1 benutzt: das Programm beenden oder mit --force-in-use trotzdem schreiben</translation>
    </message>
    <message>
        <source>product %1  version %2  serial %3  port %4  nodes</source>
        <translation>Produkt %1  Version %2  Seriennummer %3  Port %4  Gerätedateien</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>denied</source>
        <translation>verweigert</translation>
    </message>
    <message>
        <source>gone</source>
        <translation>weg</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>no KX5170 board found: plug it in</source>
        <translation>keine KX5170-Platine gefunden: bitte anstecken</translation>
    </message>
    <message>
        <source>this user may not open %1: %2</source>
        <translation>dieser Benutzer darf %1 nicht öffnen: %2</translation>
    </message>
    <message>
        <source>the board could not be opened: unplug it, plug it in again and retry</source>
        <translation>die Platine ließ sich nicht öffnen: ab- und wieder anstecken und erneut versuchen</translation>
    </message>
    <message>
        <source>Node:</source>
        <translation>Gerätedatei:</translation>
    </message>
    <message>
        <source>Manufacturer:</source>
        <translation>Hersteller:</translation>
    </message>
    <message>
        <source>Product:</source>
        <translation>Produkt:</translation>
    </message>
    <message>
        <source>Serial number:</source>
        <translation>Seriennummer:</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Product ID:</source>
        <translation>Produkt-ID:</translation>
    </message>
    <message>
        <source>(%1 degrees lock to lock)</source>
        <translation>(%1 Grad von Anschlag zu Anschlag)</translation>
    </message>
    <message>
        <source>could not write to standard output</source>
        <translation>in die Standardausgabe konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>cannot write %1: %2: choose another file name</source>
        <translation>%1 kann nicht geschrieben werden: %2: einen anderen Dateinamen wählen</translation>
    </message>
    <message>
        <source>Reads, writes and watches a KX5170 wheel controller board.</source>
        <translation>Liest, schreibt und beobachtet eine KX5170-Lenkrad-Controllerplatine.</translation>
    </message>
    <message>
        <source>Commands (kx5170ctl help COMMAND tells more of one):</source>
        <translation>Befehle (kx5170ctl help COMMAND erklärt einen genauer):</translation>
    </message>
    <message>
        <source>every board present, and whether you may open it</source>
        <translation>alle vorhandenen Platinen und ob Sie sie öffnen dürfen</translation>
    </message>
    <message>
        <source>the board&apos;s details and its twelve settings</source>
        <translation>Angaben zur Platine und ihre zwölf Einstellungen</translation>
    </message>
    <message>
        <source>the board&apos;s settings as a settings file (- for standard output)</source>
        <translation>die Einstellungen der Platine als Einstellungsdatei (-
für die Standardausgabe)</translation>
    </message>
    <message>
        <source>write a settings file to the board (- for standard input), then check it</source>
        <translation>eine Einstellungsdatei auf die Platine schreiben (- für
die Standardeingabe) und prüfen</translation>
    </message>
    <message>
        <source>write some settings, then check them</source>
        <translation>einzelne Einstellungen schreiben und prüfen</translation>
    </message>
    <message>
        <source>the wheel&apos;s position as it turns, until interrupted</source>
        <translation>die Stellung des Lenkrads beim Drehen, bis zum Abbruch</translation>
    </message>
    <message>
        <source>apply FILE, run COMMAND, then put the board&apos;s own settings back</source>
        <translation>FILE aufspielen, COMMAND ausführen, dann die eigenen
Einstellungen der Platine wiederherstellen</translation>
    </message>
    <message>
        <source>put back the board&apos;s own settings that a run which did not
finish has left saved (--list shows them)</source>
        <translation>die eigenen Einstellungen der Platine wiederherstellen,
die ein nicht zu Ende gelaufenes run gesichert hat
(--list zeigt sie)</translation>
    </message>
    <message>
        <source>what stands between you and the board, with the fix</source>
        <translation>was zwischen Ihnen und der Platine steht, mit der Abhilfe</translation>
    </message>
    <message>
        <source>The keys of a settings file and of set: centre_offset, overall_damping,
overall_inertia, overall_friction, stops, stops_stiffness, stops_damping,
centering_spring, motor_filter, input_filter, all_effects_scale,
damper_effect_scale; and rotation, the wheel&apos;s turn lock to lock in degrees
(rotation=900), in place of stops.</source>
        <translation>Die Schlüssel einer Einstellungsdatei und von set: centre_offset,
overall_damping, overall_inertia, overall_friction, stops, stops_stiffness,
stops_damping, centering_spring, motor_filter, input_filter, all_effects_scale,
damper_effect_scale; dazu rotation, der Lenkbereich des Lenkrads von Anschlag zu
Anschlag in Grad (rotation=900), anstelle von stops.</translation>
    </message>
    <message>
        <source>Exit status: 0 done; 1 bad usage or a bad file; 2 no board found (or none that
--board names), or one that could not be opened; 3 a board you may not open; 4 a
request to the board failed: its settings not read, not taken, not stored (it did
not reset), or other values held after the write; 5 the board is in use by
another program, and nothing was written. run exits with its command&apos;s status
(128 + N when signal N stopped run itself).</source>
        <translation>Rückgabewert: 0 erledigt; 1 falscher Aufruf oder fehlerhafte Datei; 2 keine
Platine gefunden (oder keine, die --board nennt) oder eine, die sich nicht
öffnen ließ; 3 eine Platine, die Sie nicht öffnen dürfen; 4 eine Anfrage an die
Platine ist fehlgeschlagen: ihre Einstellungen nicht gelesen, nicht übernommen,
nicht gespeichert (kein Neustart) oder nach dem Schreiben andere Werte; 5 die
Platine wird von einem anderen Programm benutzt, und nichts wurde geschrieben.
run endet mit dem Rückgabewert seines Befehls (128 + N, wenn Signal N run selbst
beendet hat).</translation>
    </message>
    <message>
        <source>After a write the board resets: apply and set wait up to 3 s for it to go away
and up to 10 s for the same board to come back, then read it back. A request the
board does not answer is given up by the kernel after 5 s. Before writing back
the board&apos;s own settings, run waits up to 10 s for programs its command left
behind to let go of the board.</source>
        <translation>Nach dem Schreiben startet die Platine neu: apply und set warten bis zu 3 s, bis
sie verschwindet, und bis zu 10 s, bis dieselbe Platine zurückkommt, und lesen
sie dann zurück. Eine Anfrage, die die Platine nicht beantwortet, gibt der
Kernel nach 5 s auf. Bevor run die eigenen Einstellungen der Platine
zurückschreibt, wartet es bis zu 10 s, bis Programme, die sein Befehl
hinterlassen hat, die Platine freigeben.</translation>
    </message>
    <message>
        <source>Every KX5170 board present, one a line, with its port, each of its device nodes
and whether you may open it, and under it the file a run that did not finish left
on it. With --board, only that board.</source>
        <translation>Jede vorhandene KX5170-Platine, eine pro Zeile, mit ihrem Port, jeder ihrer
Gerätedateien und ob Sie sie öffnen dürfen, darunter die Datei, die ein nicht zu
Ende gelaufenes run auf ihr hinterlassen hat. Mit --board nur diese Platine.</translation>
    </message>
    <message>
        <source>The board&apos;s node, manufacturer, product, serial number, version and product ID,
and its twelve settings with their units, the stops also as the wheel&apos;s rotation
lock to lock in degrees; --json prints one JSON object (&quot;rotation&quot; in degrees).</source>
        <translation>Gerätedatei, Hersteller, Produkt, Seriennummer, Version und Produkt-ID der
Platine und ihre zwölf Einstellungen mit ihren Einheiten, die Anschläge auch als
Lenkbereich des Lenkrads von Anschlag zu Anschlag in Grad; --json gibt ein
JSON-Objekt aus („rotation“ in Grad).</translation>
    </message>
    <message>
        <source>The board&apos;s settings as a settings file, which names the board type it was saved
from; - writes it to standard output. An existing file is replaced only once the
new one is completely written.</source>
        <translation>Die Einstellungen der Platine als Einstellungsdatei, die den Platinentyp nennt,
von dem sie stammt; - schreibt sie in die Standardausgabe. Eine vorhandene Datei
wird erst ersetzt, wenn die neue vollständig geschrieben ist.</translation>
    </message>
    <message>
        <source>Writes a settings file to the board (- reads it from standard input). Every value is
checked before anything is sent; settings the file does not name keep the board&apos;s
values. The board then resets and is read back. A file saved from a board of
another type is refused unless --convert (stops and centre_offset scaled to keep
their angle) or --force (taken as it is). Nothing is written while another program
holds the board (status 5), unless --force-in-use.</source>
        <translation>Schreibt eine Einstellungsdatei auf die Platine (- liest sie aus der
Standardeingabe). Jeder Wert wird geprüft, bevor etwas gesendet wird;
Einstellungen, die die Datei nicht nennt, behalten die Werte der Platine. Danach
startet die Platine neu und wird zurückgelesen. Eine Datei von einer Platine
eines anderen Typs wird abgelehnt, außer mit --convert (stops und centre_offset
so umgerechnet, dass ihr Winkel bleibt) oder --force (unverändert übernommen).
Solange ein anderes Programm die Platine benutzt, wird nichts geschrieben
(Rückgabewert 5), außer mit --force-in-use.</translation>
    </message>
    <message>
        <source>As apply, for settings given on the command line with the keys of a settings file
(kx5170ctl --help lists them), such as stops=5000. rotation=900 sets the stops that
turn the wheel 900 degrees lock to lock on this board, to the nearest count.</source>
        <translation>Wie apply, für Einstellungen, die auf der Befehlszeile mit den Schlüsseln einer
Einstellungsdatei angegeben werden (kx5170ctl --help nennt sie), etwa
stops=5000. rotation=900 setzt die Anschläge so, dass sich das Lenkrad auf
dieser Platine 900 Grad von Anschlag zu Anschlag dreht, auf den Schritt genau.</translation>
    </message>
    <message>
        <source>The wheel&apos;s position in counts and degrees as it changes, until interrupted
(Ctrl+C); a board unplugged is followed again once it is back.</source>
        <translation>Die Stellung des Lenkrads in Schritten und Grad, sobald sie sich ändert, bis zum
Abbruch (Strg+C); eine abgezogene Platine wird wieder verfolgt, sobald sie
zurück ist.</translation>
    </message>
    <message>
        <source>Reads the board&apos;s settings and saves them, exactly as read, under
$XDG_STATE_HOME/kx5170 (~/.local/state/kx5170), then applies FILE as apply does
(COMMAND is not started when it cannot be applied), runs COMMAND with your terminal
and environment, passing Ctrl+C and other stop signals on to it once, then writes
back the settings the board held before, reads them back and removes what it saved.
Before that it waits up to 10 s for programs COMMAND left behind to let go of the
board. It says on standard error when FILE is on and when the board&apos;s own settings
are back (--quiet: not). A stop signal during the write lets the write end, starts
nothing, puts the board&apos;s own settings back and exits 128 + N. If run itself is
killed (SIGKILL, a crash, a power cut), what it saved stays: show, list and doctor
tell, and kx5170ctl restore puts it back; a new run on that board puts it back first.
Exits with COMMAND&apos;s status (128 + N when signal N ended it), or 4 when the board&apos;s
own settings could not be written back.
In a game launcher: kx5170ctl run ~/wheel/rally.kx5170 -- %command%</source>
        <translation>Liest die Einstellungen der Platine und sichert sie, genau wie gelesen, unter
$XDG_STATE_HOME/kx5170 (~/.local/state/kx5170), spielt dann FILE auf wie apply
(COMMAND wird nicht gestartet, wenn sich FILE nicht aufspielen lässt), führt
COMMAND mit Ihrem Terminal und Ihrer Umgebung aus und reicht Strg+C und andere
Stoppsignale einmal an ihn weiter, schreibt danach die vorherigen Einstellungen
der Platine zurück, liest sie zurück und entfernt die Sicherung. Zuvor wartet es
bis zu 10 s, bis Programme, die COMMAND hinterlassen hat, die Platine freigeben.
Auf der Standardfehlerausgabe meldet es, wenn FILE aufgespielt ist und wenn die
eigenen Einstellungen der Platine wiederhergestellt sind (--quiet: nicht). Ein
Stoppsignal während des Schreibens lässt das Schreiben zu Ende gehen, startet
nichts, stellt die eigenen Einstellungen der Platine wieder her und endet mit
128 + N. Wird run selbst beendet (SIGKILL, ein Absturz, ein Stromausfall),
bleibt die Sicherung erhalten: show, list und doctor melden sie, und kx5170ctl
restore stellt sie wieder her; ein neues run auf dieser Platine stellt sie
zuerst wieder her. Endet mit dem Rückgabewert von COMMAND (128 + N, wenn Signal
N ihn beendet hat) oder mit 4, wenn die eigenen Einstellungen der Platine nicht
zurückgeschrieben werden konnten.
In einem Spiele-Launcher: kx5170ctl run ~/wheel/rally.kx5170 -- %command%</translation>
    </message>
    <message>
        <source>Writes back, byte for byte, the board&apos;s own settings that a kx5170ctl run saved and
could not put back itself (it was killed, or the board was away), reads them back
and removes what was saved: every board present that has some, or the one --board
names. A run that still runs is left alone. --list shows what is saved, and
changes nothing. Exits 0 when there was nothing to restore.</source>
        <translation>Schreibt die eigenen Einstellungen der Platine Byte für Byte zurück, die ein
kx5170ctl run gesichert hat und nicht selbst wiederherstellen konnte (es wurde
beendet, oder die Platine war nicht da), liest sie zurück und entfernt die
Sicherung: für jede vorhandene Platine, für die es eine gibt, oder für die, die
--board nennt. Ein run, das noch läuft, bleibt unberührt. --list zeigt, was
gesichert ist, und ändert nichts. Endet mit 0, wenn es nichts wiederherzustellen
gab.</translation>
    </message>
    <message>
        <source>What stands between you and the board, one line each, with the fix: the board on
the USB bus, its HID interfaces and nodes, the udev rule for it, your access to each
node, whether this is a local session in front at its seat, other programs holding
the board, its settings report and its version, and settings a run left on it. It
prints the commands that fix what it finds. Nothing is written. Exits 0 when
nothing stands in the way, else the status of the first problem.</source>
        <translation>Was zwischen Ihnen und der Platine steht, je eine Zeile, mit der Abhilfe: die
Platine am USB-Bus, ihre HID-Schnittstellen und Gerätedateien, ihre udev-Regel,
Ihr Zugriff auf jede Gerätedatei, ob dies eine lokale Sitzung im Vordergrund an
ihrem Arbeitsplatz ist, andere Programme, die die Platine benutzen, ihr
Einstellungs-Report und ihre Version sowie Einstellungen, die ein run auf ihr
hinterlassen hat. Es gibt die Befehle aus, die das Gefundene beheben. Nichts
wird geschrieben. Endet mit 0, wenn nichts im Weg steht, sonst mit dem
Rückgabewert des ersten Problems.</translation>
    </message>
    <message>
        <source>print this help</source>
        <translation>diese Hilfe ausgeben</translation>
    </message>
    <message>
        <source>print the version</source>
        <translation>die Version ausgeben</translation>
    </message>
    <message>
        <source>every command: the board with this serial number, in this port (usb:1-2, as list shows it) or at this device node (/dev/hidrawN), not the first one found</source>
        <translation>alle Befehle: die Platine mit dieser Seriennummer, an diesem Port (usb:1-2, wie list ihn zeigt) oder an dieser Gerätedatei (/dev/hidrawN), nicht die erste gefundene</translation>
    </message>
    <message>
        <source>every command: a simulated board, which keeps its settings from one command to the next while you are logged in; nothing reaches any hardware</source>
        <translation>alle Befehle: eine simulierte Platine, die ihre Einstellungen von einem Befehl zum nächsten behält, solange Sie angemeldet sind; nichts erreicht echte Hardware</translation>
    </message>
    <message>
        <source>apply, set, run: write even while another program holds the board (it loses the wheel while the board resets)</source>
        <translation>apply, set, run: auch schreiben, während ein anderes Programm die Platine benutzt (es verliert das Lenkrad während des Neustarts der Platine)</translation>
    </message>
    <message>
        <source>show, watch: print JSON</source>
        <translation>show, watch: JSON ausgeben</translation>
    </message>
    <message>
        <source>apply, set, run: bring a value outside its range to the nearer bound, as the window does (not stops or centre_offset)</source>
        <translation>apply, set, run: einen Wert außerhalb seines Bereichs auf die nähere Grenze setzen, wie es das Fenster tut (nicht stops oder centre_offset)</translation>
    </message>
    <message>
        <source>apply, run: convert a file saved from a board that counts another number of steps a turn: stops and centre_offset scaled to keep their angle</source>
        <translation>apply, run: eine Datei von einer Platine mit einer anderen Schrittzahl pro Umdrehung umrechnen: stops und centre_offset so, dass ihr Winkel bleibt</translation>
    </message>
    <message>
        <source>apply, run: take a file saved from a board that counts another number of steps a turn as it is</source>
        <translation>apply, run: eine Datei von einer Platine mit einer anderen Schrittzahl pro Umdrehung unverändert übernehmen</translation>
    </message>
    <message>
        <source>apply, set: do not wait for the board&apos;s reset to read the settings back</source>
        <translation>apply, set: nicht auf den Neustart der Platine warten, um die Einstellungen zurückzulesen</translation>
    </message>
    <message>
        <source>run, restore: say nothing of what was done, only what went wrong</source>
        <translation>run, restore: nichts über das Erledigte melden, nur Fehler</translation>
    </message>
    <message>
        <source>restore: show what is saved; change nothing</source>
        <translation>restore: zeigen, was gesichert ist; nichts ändern</translation>
    </message>
    <message>
        <source>list, show, save, apply, set, watch, run, restore, doctor or help</source>
        <translation>list, show, save, apply, set, watch, run, restore, doctor oder help</translation>
    </message>
    <message>
        <source>the command&apos;s file or settings</source>
        <translation>die Datei oder die Einstellungen des Befehls</translation>
    </message>
    <message>
        <source>%1: see kx5170ctl --help</source>
        <translation>%1: siehe kx5170ctl --help</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;: see kx5170ctl --help</source>
        <translation>unbekannter Befehl „%1“: siehe kx5170ctl --help</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <translation>Aufruf: %1</translation>
    </message>
    <message>
        <source>Options for every command: %1</source>
        <translation>Optionen für alle Befehle: %1</translation>
    </message>
    <message>
        <source>no command given: see kx5170ctl --help</source>
        <translation>kein Befehl angegeben: siehe kx5170ctl --help</translation>
    </message>
    <message>
        <source>--board: give a serial number or a device node: see kx5170ctl --help</source>
        <translation>--board: eine Seriennummer oder eine Gerätedatei angeben: siehe kx5170ctl --help</translation>
    </message>
    <message>
        <source>%1: %2: see kx5170ctl help %1</source>
        <translation>%1: %2: siehe kx5170ctl help %1</translation>
    </message>
    <message>
        <source>--json is for show and watch</source>
        <translation>--json gilt für show und watch</translation>
    </message>
    <message>
        <source>--clamp is for apply, set and run</source>
        <translation>--clamp gilt für apply, set und run</translation>
    </message>
    <message>
        <source>--no-verify is for apply and set</source>
        <translation>--no-verify gilt für apply und set</translation>
    </message>
    <message>
        <source>--force-in-use is for apply, set, run and restore</source>
        <translation>--force-in-use gilt für apply, set, run und restore</translation>
    </message>
    <message>
        <source>--quiet is for run and restore</source>
        <translation>--quiet gilt für run und restore</translation>
    </message>
    <message>
        <source>--list is for restore</source>
        <translation>--list gilt für restore</translation>
    </message>
    <message>
        <source>%1 is for apply and run</source>
        <translation>%1 gilt für apply und run</translation>
    </message>
    <message>
        <source>--convert and --force exclude each other</source>
        <translation>--convert und --force schließen einander aus</translation>
    </message>
    <message>
        <source>give one settings file, then -- and the command to run</source>
        <translation>eine Einstellungsdatei angeben, dann -- und den auszuführenden Befehl</translation>
    </message>
    <message>
        <source>name one file, or - for standard output</source>
        <translation>eine Datei nennen oder - für die Standardausgabe</translation>
    </message>
    <message>
        <source>takes no arguments</source>
        <translation>nimmt keine Argumente</translation>
    </message>
    <message>
        <source>these commands install the board&apos;s udev rule, reload udev and apply it to the board
(or click &quot;Fix...&quot; in kx5170-config):</source>
        <translation>diese Befehle installieren die udev-Regel der Platine, laden udev neu
und wenden sie auf die Platine an (oder in kx5170-config auf
„Beheben...“ klicken):</translation>
    </message>
    <message>
        <source>if the board still cannot be opened then, unplug it and plug it in again</source>
        <translation>lässt sich die Platine dann noch immer nicht öffnen, sie ab- und wieder anstecken</translation>
    </message>
    <message>
        <source>%1, which you may read and write</source>
        <translation>%1, die Sie lesen und schreiben dürfen</translation>
    </message>
    <message>
        <source>%1, which you may not open</source>
        <translation>%1, die Sie nicht öffnen dürfen</translation>
    </message>
    <message>
        <source>%1 is missing from /dev: unplug the board and plug it in again</source>
        <translation>%1 fehlt in /dev: Platine ab- und wieder anstecken</translation>
    </message>
    <message>
        <source>no KX5170 board found: plug it in, or try another cable or port</source>
        <translation>keine KX5170-Platine gefunden: bitte anstecken oder ein anderes Kabel oder einen anderen Port versuchen</translation>
    </message>
    <message>
        <source>board on no USB bus (a virtual board): </source>
        <translation>Platine an keinem USB-Bus (eine virtuelle Platine): </translation>
    </message>
    <message>
        <source>board on the USB bus at port %1, product %2</source>
        <translation>Platine am USB-Bus an Port %1, Produkt %2</translation>
    </message>
    <message>
        <source>board on the USB bus at port %1, product %2, serial %3</source>
        <translation>Platine am USB-Bus an Port %1, Produkt %2, Seriennummer %3</translation>
    </message>
    <message>
        <source>the board at %1 shows no HID interface: unplug it and plug it in again</source>
        <translation>die Platine an %1 zeigt keine HID-Schnittstelle: ab- und wieder anstecken</translation>
    </message>
    <message>
        <source>interface %1 has no hidraw node (no driver took it): the kernel needs hidraw and usbhid; unplug the board and plug it in again</source>
        <translation>Schnittstelle %1 hat keine hidraw-Gerätedatei (kein Treiber hat sie übernommen): der Kernel braucht hidraw und usbhid; Platine ab- und wieder anstecken</translation>
    </message>
    <message>
        <source>interface %1 has no hidraw node (driver %2): the kernel needs hidraw and usbhid; unplug the board and plug it in again</source>
        <translation>Schnittstelle %1 hat keine hidraw-Gerätedatei (Treiber %2): der Kernel braucht hidraw und usbhid; Platine ab- und wieder anstecken</translation>
    </message>
    <message>
        <source>interface %1: the kernel made input %2</source>
        <translation>Schnittstelle %1: der Kernel hat als Eingabe angelegt: %2</translation>
    </message>
    <message>
        <source>interface %1: </source>
        <translation>Schnittstelle %1: </translation>
    </message>
    <message>
        <source>the board&apos;s udev rule is masked by %1 (the administrator turned it off): remove it, as root, to turn it on:</source>
        <translation>die udev-Regel der Platine ist durch %1 ausgeblendet (vom Administrator abgeschaltet): zum Einschalten als root entfernen:</translation>
    </message>
    <message>
        <source>a udev rule for the board is installed: %1</source>
        <translation>eine udev-Regel für die Platine ist installiert: %1</translation>
    </message>
    <message>
        <source>the board&apos;s udev rule is not installed</source>
        <translation>die udev-Regel der Platine ist nicht installiert</translation>
    </message>
    <message>
        <source>a local session in front at %1: the udev rule gives it the board</source>
        <translation>eine lokale Sitzung im Vordergrund an %1: die udev-Regel gibt ihr die Platine</translation>
    </message>
    <message>
        <source>this session at %1 is not the one in front: switch to it</source>
        <translation>diese Sitzung an %1 ist nicht die im Vordergrund: zu ihr wechseln</translation>
    </message>
    <message>
        <source>a remote login: the udev rule gives the board only to the person at the computer; run kx5170ctl there</source>
        <translation>eine entfernte Anmeldung: die udev-Regel gibt die Platine nur der Person am Computer; kx5170ctl dort ausführen</translation>
    </message>
    <message>
        <source>a session at no seat: the udev rule gives the board only to a local login at a seat</source>
        <translation>eine Sitzung ohne Arbeitsplatz: die udev-Regel gibt die Platine nur einer lokalen Anmeldung an einem Arbeitsplatz</translation>
    </message>
    <message>
        <source>the login session could not be told (no XDG_SESSION_ID, or no record of it)</source>
        <translation>die Anmeldesitzung ließ sich nicht ermitteln (kein XDG_SESSION_ID oder kein Eintrag dazu)</translation>
    </message>
    <message>
        <source>no node of the board declares its settings (report 8): unplug the board, plug it in again, and if this stays, its firmware is not one this program knows</source>
        <translation>keine Gerätedatei der Platine meldet ihre Einstellungen (Report 8): Platine ab- und wieder anstecken; bleibt es dabei, kennt dieses Programm ihre Firmware nicht</translation>
    </message>
    <message>
        <source>the board is in use by %1: a write would take it from them; close them before apply, set or run</source>
        <translation>die Platine wird von %1 benutzt: ein Schreiben würde sie ihnen nehmen; diese vor apply, set oder run beenden</translation>
    </message>
    <message>
        <source>no other program this user can see holds the board, but %1</source>
        <translation>kein anderes Programm, das dieser Benutzer sehen kann, benutzt die Platine, aber %1</translation>
    </message>
    <message>
        <source>no other program holds the board</source>
        <translation>kein anderes Programm benutzt die Platine</translation>
    </message>
    <message>
        <source>the settings (report 8) could not be read: %1</source>
        <translation>die Einstellungen (Report 8) ließen sich nicht lesen: %1</translation>
    </message>
    <message>
        <source>the board at %1 declares its settings (report 8) and they read</source>
        <translation>die Platine an %1 meldet ihre Einstellungen (Report 8), und sie lassen sich lesen</translation>
    </message>
    <message>
        <source>board version %1, type %2, %3 counts a turn</source>
        <translation>Platine Version %1, Typ %2, %3 Schritte pro Umdrehung</translation>
    </message>
    <message>
        <source>board version %1, type %2</source>
        <translation>Platine Version %1, Typ %2</translation>
    </message>
    <message>
        <source>the board&apos;s type could not be told: it did not answer the request for its manufacturer as a board does</source>
        <translation>der Typ der Platine ließ sich nicht ermitteln: sie hat die Anfrage nach ihrem Hersteller nicht wie eine Platine beantwortet</translation>
    </message>
    <message>
        <source>board at %1 (Ctrl+C ends)</source>
        <translation>Platine an %1 (Strg+C beendet)</translation>
    </message>
    <message>
        <source>board unplugged: waiting for it to come back</source>
        <translation>Platine abgezogen: warte auf ihre Rückkehr</translation>
    </message>
    <message>
        <source>board at %1, but this user may not open it: run kx5170ctl list for the fix</source>
        <translation>Platine an %1, aber dieser Benutzer darf sie nicht öffnen: kx5170ctl list zeigt die Abhilfe</translation>
    </message>
    <message>
        <source>%1 counts</source>
        <translation>%1 Schritte</translation>
    </message>
    <message>
        <source>%1 degrees</source>
        <translation>%1 Grad</translation>
    </message>
    <message>
        <source>cannot read standard input</source>
        <translation>die Standardeingabe kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>cannot read %1: %2: check the file name</source>
        <translation>%1 kann nicht gelesen werden: %2: den Dateinamen prüfen</translation>
    </message>
    <message>
        <source>apply: name one settings file (- for standard input): see kx5170ctl --help</source>
        <translation>apply: eine Einstellungsdatei nennen (- für die Standardeingabe): siehe kx5170ctl --help</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>Standardeingabe</translation>
    </message>
    <message>
        <source>%1: nothing was sent; correct the file</source>
        <translation>%1: nichts wurde gesendet; die Datei korrigieren</translation>
    </message>
    <message>
        <source>set: give one or more KEY=VALUE, such as stops=5000: see kx5170ctl --help</source>
        <translation>set: ein oder mehrere KEY=VALUE angeben, etwa stops=5000: siehe kx5170ctl --help</translation>
    </message>
    <message>
        <source>set: &quot;%1&quot; is not KEY=VALUE, such as stops=5000</source>
        <translation>set: „%1“ ist nicht KEY=VALUE wie etwa stops=5000</translation>
    </message>
    <message>
        <source>set: unknown setting &quot;%1&quot;: the keys are those of a settings file (kx5170ctl --help lists them)</source>
        <translation>set: unbekannte Einstellung „%1“: die Schlüssel sind die einer Einstellungsdatei (kx5170ctl --help nennt sie)</translation>
    </message>
    <message>
        <source>set: %1 is given twice: give each setting once</source>
        <translation>set: %1 ist doppelt angegeben: jede Einstellung nur einmal angeben</translation>
    </message>
    <message>
        <source>set: stops and rotation say the same thing twice: give one of them</source>
        <translation>set: stops und rotation sagen dasselbe zweimal: nur eines davon angeben</translation>
    </message>
    <message>
        <source>the settings</source>
        <translation>die Einstellungen</translation>
    </message>
    <message>
        <source>set %1: %2: nothing was sent</source>
        <translation>set %1: %2: nichts wurde gesendet</translation>
    </message>
    <message>
        <source>%1 is %2, not %3</source>
        <translation>%1 ist %2, nicht %3</translation>
    </message>
    <message>
        <source>cannot convert the file to this board: %1: nothing was sent</source>
        <translation>die Datei lässt sich nicht für diese Platine umrechnen: %1: nichts wurde gesendet</translation>
    </message>
    <message>
        <source>the file does not say which board type it was saved from, so it cannot be converted: nothing was sent; add board_type = N to it, or leave out --convert</source>
        <translation>die Datei nennt nicht den Platinentyp, von dem sie stammt, und lässt sich daher nicht umrechnen: nichts wurde gesendet; board_type = N ergänzen oder --convert weglassen</translation>
    </message>
    <message>
        <source>type %1</source>
        <translation>Typ %1</translation>
    </message>
    <message>
        <source>whose type could not be read</source>
        <translation>deren Typ sich nicht lesen ließ</translation>
    </message>
    <message>
        <source>the file was saved from a board of type %1, which counts another number of steps a turn than this one (%2): its stops and centre_offset would mean other angles; nothing was sent; use --convert to scale them to this board, or --force to apply it as it is</source>
        <translation>die Datei stammt von einer Platine vom Typ %1, die eine andere Schrittzahl pro Umdrehung hat als diese (%2): ihre stops und ihr centre_offset ergäben andere Winkel; nichts wurde gesendet; mit --convert für diese Platine umrechnen oder mit --force unverändert aufspielen</translation>
    </message>
    <message>
        <source>%1: nothing was sent</source>
        <translation>%1: nichts wurde gesendet</translation>
    </message>
    <message>
        <source>%1 = %2 cannot be stored by the board: nothing was sent</source>
        <translation>%1 = %2 kann von der Platine nicht gespeichert werden: nichts wurde gesendet</translation>
    </message>
    <message>
        <source>settings not written: %1: unplug the board, plug it in again and retry</source>
        <translation>Einstellungen nicht geschrieben: %1: Platine ab- und wieder anstecken und erneut versuchen</translation>
    </message>
    <message>
        <source>settings sent, but the board was not reset, so they may not be stored: %1: unplug the board, plug it in again and check with kx5170ctl show</source>
        <translation>Einstellungen gesendet, aber die Platine ist nicht neu gestartet, daher sind sie womöglich nicht gespeichert: %1: Platine ab- und wieder anstecken und mit kx5170ctl show prüfen</translation>
    </message>
    <message>
        <source>the board holds other settings after the write (%1): retry, and if it persists, unplug the board and plug it in again</source>
        <translation>die Platine hat nach dem Schreiben andere Einstellungen (%1): erneut versuchen und, wenn es so bleibt, Platine ab- und wieder anstecken</translation>
    </message>
    <message>
        <source>Settings sent to the board at %1; it resets now (not read back).</source>
        <translation>Einstellungen an die Platine an %1 gesendet; sie startet jetzt neu (nicht zurückgelesen).</translation>
    </message>
    <message>
        <source>Settings written to the board at %1 and read back.</source>
        <translation>Einstellungen auf die Platine an %1 geschrieben und zurückgelesen.</translation>
    </message>
    <message>
        <source>signal %1</source>
        <translation>Signal %1</translation>
    </message>
    <message>
        <source>the board keeps the settings of %1; to put its own back, run: %2</source>
        <translation>die Platine behält die Einstellungen von %1; um ihre eigenen wiederherzustellen: %2</translation>
    </message>
    <message>
        <source>the board&apos;s own settings were not written back: %1</source>
        <translation>die eigenen Einstellungen der Platine wurden nicht zurückgeschrieben: %1</translation>
    </message>
    <message>
        <source>it is still in use by %1</source>
        <translation>sie wird noch von %1 benutzt</translation>
    </message>
    <message>
        <source>%1: remove it by hand</source>
        <translation>%1: von Hand entfernen</translation>
    </message>
    <message>
        <source>kx5170ctl run (process %1) is running on this board already: let it end first</source>
        <translation>kx5170ctl run (Prozess %1) läuft bereits auf dieser Platine: erst zu Ende laufen lassen</translation>
    </message>
    <message>
        <source>the board still holds %1 from a run that did not finish: putting its own settings back first</source>
        <translation>die Platine hat noch %1 von einem run, das nicht zu Ende lief: stelle zuerst ihre eigenen Einstellungen wieder her</translation>
    </message>
    <message>
        <source>cannot keep a record of the board&apos;s own settings, so nothing was sent: %1: make the folder writable, or set XDG_STATE_HOME</source>
        <translation>die eigenen Einstellungen der Platine lassen sich nicht sichern, daher wurde nichts gesendet: %1: den Ordner beschreibbar machen oder XDG_STATE_HOME setzen</translation>
    </message>
    <message>
        <source>to put the board&apos;s own settings back, run: %1</source>
        <translation>um die eigenen Einstellungen der Platine wiederherzustellen: %1</translation>
    </message>
    <message>
        <source>%1 came during the write, so %2 was not started, and %3</source>
        <translation>%1 kam während des Schreibens, daher wurde %2 nicht gestartet, und %3</translation>
    </message>
    <message>
        <source>%1 came during the write, so %2 was not started; the board&apos;s own settings are back</source>
        <translation>%1 kam während des Schreibens, daher wurde %2 nicht gestartet; die eigenen Einstellungen der Platine sind wiederhergestellt</translation>
    </message>
    <message>
        <source>%1 applied to the board at %2; running %3</source>
        <translation>%1 auf die Platine an %2 aufgespielt; starte %3</translation>
    </message>
    <message>
        <source>the board&apos;s own settings are back (%1 came meanwhile)</source>
        <translation>die eigenen Einstellungen der Platine sind wiederhergestellt (%1 kam inzwischen)</translation>
    </message>
    <message>
        <source>the board&apos;s own settings are back</source>
        <translation>die eigenen Einstellungen der Platine sind wiederhergestellt</translation>
    </message>
    <message>
        <source>the board at %1</source>
        <translation>die Platine an %1</translation>
    </message>
    <message>
        <source>the board with serial number %1</source>
        <translation>die Platine mit der Seriennummer %1</translation>
    </message>
    <message>
        <source>the board at %1 with serial number %2</source>
        <translation>die Platine an %1 mit der Seriennummer %2</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2: look at it, and remove it once you no longer need it</source>
        <translation>%1 kann nicht gelesen werden: %2: ansehen und entfernen, sobald sie nicht mehr gebraucht wird</translation>
    </message>
    <message>
        <source>%1: %2 (%3), put on at %4 by run, process %5, which still runs</source>
        <translation>%1: %2 (%3), am %4 von run aufgespielt, Prozess %5, der noch läuft</translation>
    </message>
    <message>
        <source>%1: %2 (%3), put on at %4 by run, process %5, which did not finish: kx5170ctl restore --board %6 puts its own settings back</source>
        <translation>%1: %2 (%3), am %4 von run aufgespielt, Prozess %5, der nicht zu Ende lief: kx5170ctl restore --board %6 stellt ihre eigenen Einstellungen wieder her</translation>
    </message>
    <message>
        <source>kx5170ctl run (process %1) still runs on %2 and puts its own settings back when its command ends</source>
        <translation>kx5170ctl run (Prozess %1) läuft noch für %2 und stellt deren eigene Einstellungen wieder her, wenn sein Befehl endet</translation>
    </message>
    <message>
        <source>%1, which holds %2, is not present: plug it in and run kx5170ctl restore again</source>
        <translation>%1, die noch %2 hat, ist nicht vorhanden: anstecken und kx5170ctl restore erneut ausführen</translation>
    </message>
    <message>
        <source>the board&apos;s own settings were not written back: %1: unplug the board, plug it in again and run kx5170ctl restore again</source>
        <translation>die eigenen Einstellungen der Platine wurden nicht zurückgeschrieben: %1: Platine ab- und wieder anstecken und kx5170ctl restore erneut ausführen</translation>
    </message>
    <message>
        <source>The board at %1 has its own settings back (it held %2), and they read back.</source>
        <translation>Die Platine an %1 hat ihre eigenen Einstellungen wieder (sie hatte %2), und sie lassen sich zurücklesen.</translation>
    </message>
    <message>
        <source>Nothing is saved.</source>
        <translation>Nichts ist gesichert.</translation>
    </message>
    <message>
        <source>Nothing to restore: no run left a board in a file&apos;s settings.</source>
        <translation>Nichts wiederherzustellen: kein run hat eine Platine mit den Einstellungen einer Datei hinterlassen.</translation>
    </message>
    <message>
        <source>Nothing to restore for that board.</source>
        <translation>Für diese Platine ist nichts wiederherzustellen.</translation>
    </message>
    <message>
        <source>cannot run %1: %2</source>
        <translation>%1 kann nicht gestartet werden: %2</translation>
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
