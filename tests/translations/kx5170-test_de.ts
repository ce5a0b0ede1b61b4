<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Test</name>
    <message>
        <source>Write</source>
        <translation>Schreiben</translation>
    </message>
    <message>
        <source>&amp;Write %1 to the board
and reset it</source>
        <translation>%1 auf die Platine &amp;schreiben
und neu starten</translation>
    </message>
    <message numerus="yes">
        <source>%n setting(s) in &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>
            <numerusform>%n Einstellung in &lt;b&gt;%1&lt;/b&gt;</numerusform>
            <numerusform>%n Einstellungen in &lt;b&gt;%1&lt;/b&gt;</numerusform>
        </translation>
    </message>
    <message>
        <source>Gone</source>
        <translation type="vanished">Weg</translation>
    </message>
</context>
</TS>
