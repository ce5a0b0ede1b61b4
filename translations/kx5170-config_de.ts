<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
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
</TS>
