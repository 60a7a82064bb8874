<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>CupsBackend</name>
    <message>
        <source>Usage: %1</source>
        <translation>Aufruf: %1</translation>
    </message>
    <message>
        <source>expected 5 or 6 arguments</source>
        <translation>5 oder 6 Argumente erwartet</translation>
    </message>
    <message>
        <source>the job id &quot;%1&quot; is not a number</source>
        <translation>die Auftragsnummer „%1“ ist keine Zahl</translation>
    </message>
    <message>
        <source>the job has no user name</source>
        <translation>der Auftrag hat keinen Benutzernamen</translation>
    </message>
    <message>
        <source>cannot enter the spool folder %1: %2</source>
        <translation>Spool-Ordner %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>cannot load the exit library %1: %2</source>
        <translation>Exit-Bibliothek %1 kann nicht geladen werden: %2</translation>
    </message>
    <message>
        <source>Faxing %1 page(s) for %2</source>
        <translation>%1 Seite(n) für %2 werden gefaxt</translation>
    </message>
    <message>
        <source>the document was not handed over; its print file %1 stays in %2</source>
        <translation>das Dokument wurde nicht übergeben; seine Druckdatei %1 bleibt in %2</translation>
    </message>
    <message>
        <source>handed to KORVA Fax for %1</source>
        <translation>für %1 an KORVA Fax übergeben</translation>
    </message>
    <message>
        <source>kept until KORVA Fax starts for %1</source>
        <translation>für %1 aufbewahrt, bis KORVA Fax startet</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>the print file could not be created in the spool folder</source>
        <translation>die Druckdatei konnte im Spool-Ordner nicht angelegt werden</translation>
    </message>
    <message>
        <source>page %1 could not be written completely to the print file</source>
        <translation>Seite %1 konnte nicht vollständig in die Druckdatei geschrieben werden</translation>
    </message>
    <message>
        <source>page %1 could not be read again</source>
        <translation>Seite %1 konnte nicht erneut gelesen werden</translation>
    </message>
    <message>
        <source>the raster could not be read again</source>
        <translation>das Raster konnte nicht erneut gelesen werden</translation>
    </message>
    <message>
        <source>the option %1=&quot;%2&quot; holds &quot;%3&quot;; it takes only digits, blanks and + - ( ) / . * #</source>
        <translation>die Option %1=„%2“ enthält „%3“; erlaubt sind nur Ziffern, Leerzeichen und + - ( ) / . * #</translation>
    </message>
    <message>
        <source>the recipient &quot;%1&quot; is not number~name~company</source>
        <translation>der Empfänger „%1“ hat nicht die Form number~name~company</translation>
    </message>
    <message>
        <source>the recipients take %1 characters; at most %2 fit, &quot;rcpt:&quot; included</source>
        <translation>die Empfänger belegen %1 Zeichen; höchstens %2 passen, „rcpt:“ eingeschlossen</translation>
    </message>
    <message>
        <source>cannot take the groups of %1: %2</source>
        <translation>die Gruppen von %1 können nicht übernommen werden: %2</translation>
    </message>
    <message>
        <source>cannot switch to user %1: %2</source>
        <translation>Wechsel zum Benutzer %1 nicht möglich: %2</translation>
    </message>
    <message>
        <source>root privileges could not be given up</source>
        <translation>Root-Rechte konnten nicht abgegeben werden</translation>
    </message>
    <message>
        <source>user &quot;%1&quot; is not known on this system</source>
        <translation>Benutzer „%1“ ist auf diesem System unbekannt</translation>
    </message>
    <message>
        <source>the backend runs as user id %1 and cannot act for %2; install it with mode 0700 or 0500 so that CUPS runs it as root</source>
        <translation>das Backend läuft unter der Benutzer-ID %1 und kann nicht für %2 handeln; installieren Sie es mit Modus 0700 oder 0500, damit CUPS es als root ausführt</translation>
    </message>
    <message>
        <source>%1 has no home folder</source>
        <translation>%1 hat kein Home-Verzeichnis</translation>
    </message>
    <message>
        <source>cannot create the spool folder %1: %2</source>
        <translation>Spool-Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>the page is %1 x %2 pixels</source>
        <translation>die Seite hat %1 x %2 Pixel</translation>
    </message>
    <message>
        <source>the page has no valid resolution</source>
        <translation>die Seite hat keine gültige Auflösung</translation>
    </message>
    <message>
        <source>raster of %1 bits per pixel in colour space %2 is not supported</source>
        <translation>Raster mit %1 Bit pro Pixel im Farbraum %2 wird nicht unterstützt</translation>
    </message>
    <message>
        <source>the page&apos;s rows are shorter than its width</source>
        <translation>die Zeilen der Seite sind kürzer als ihre Breite</translation>
    </message>
    <message>
        <source>page %1: %2</source>
        <translation>Seite %1: %2</translation>
    </message>
    <message>
        <source>page %1: the raster ends after %2 of %3 rows</source>
        <translation>Seite %1: das Raster endet nach %2 von %3 Zeilen</translation>
    </message>
    <message>
        <source>no memory for the raster: %1</source>
        <translation>kein Speicher für das Raster: %1</translation>
    </message>
    <message>
        <source>unreadable data after page %1</source>
        <translation>unlesbare Daten nach Seite %1</translation>
    </message>
    <message>
        <source>the job holds no raster data</source>
        <translation>der Auftrag enthält keine Rasterdaten</translation>
    </message>
    <message>
        <source>the job&apos;s data is not CUPS raster</source>
        <translation>die Daten des Auftrags sind kein CUPS-Raster</translation>
    </message>
    <message>
        <source>the raster could not be read: %1</source>
        <translation>das Raster konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>the document has no pages</source>
        <translation>das Dokument hat keine Seiten</translation>
    </message>
    <message>
        <source>the job&apos;s user %1 is root or a system account (user id below %2); KORVA Fax does not print for it</source>
        <translation>der Benutzer %1 des Auftrags ist root oder ein Systemkonto (Benutzer-ID unter %2); KORVA Fax druckt nicht für ihn</translation>
    </message>
</context>
<context>
    <name>ExitLibrary</name>
    <message>
        <source>Cannot open %1. Check to make sure you have enough disk space.  You should have at least 50mb free. This may also happen if another application has the image file open.</source>
        <translation>%1 kann nicht geöffnet werden. Prüfen Sie, ob genügend Speicherplatz frei ist. Es sollten mindestens 50 MB frei sein. Dies kann auch vorkommen, wenn eine andere Anwendung die Bilddatei geöffnet hat.</translation>
    </message>
    <message>
        <source>the library has no function %1</source>
        <translation>die Bibliothek hat keine Funktion %1</translation>
    </message>
    <message>
        <source>cannot be loaded</source>
        <translation>kann nicht geladen werden</translation>
    </message>
    <message>
        <source>Cannot write %1. Check to make sure you have enough disk space.  You should have at least 50mb free. The document was not faxed.</source>
        <translation>%1 kann nicht geschrieben werden. Prüfen Sie, ob genügend Speicherplatz frei ist. Es sollten mindestens 50 MB frei sein. Das Dokument wurde nicht gefaxt.</translation>
    </message>
    <message>
        <source>The document %1 could not be handed over to KORVA Fax and was not faxed. Its print file stays as %2.</source>
        <translation>Das Dokument %1 konnte nicht an KORVA Fax übergeben werden und wurde nicht gefaxt. Seine Druckdatei bleibt als %2 erhalten.</translation>
    </message>
</context>
<context>
    <name>FaxConvert</name>
    <message>
        <source>cannot run %1: %2</source>
        <translation>%1 kann nicht ausgeführt werden: %2</translation>
    </message>
    <message>
        <source>cannot put back the preset data in %1</source>
        <translation>die Vorgabedaten in %1 können nicht wiederhergestellt werden</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the output path is too long (at most %1 characters)</source>
        <translation>der Ausgabepfad ist zu lang (höchstens %1 Zeichen)</translation>
    </message>
    <message>
        <source>cannot open the control data area in the spool folder</source>
        <translation>der Steuerdatenbereich im Spool-Ordner kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>cannot create the event %1: %2</source>
        <translation>das Ereignis %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>%1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>printing with %1 failed</source>
        <translation>Drucken mit %1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>no conversion finished within %1 seconds; is faxcourier running?</source>
        <translation>keine Umwandlung innerhalb von %1 Sekunden abgeschlossen; läuft faxcourier?</translation>
    </message>
    <message>
        <source>faxcourier finished, but %1 was not written (see its log)</source>
        <translation>faxcourier ist fertig, aber %1 wurde nicht geschrieben (siehe dessen Protokoll)</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message>
        <source>%1 takes a number of seconds from 1 to 86400</source>
        <translation>%1 erwartet eine Anzahl Sekunden von 1 bis 86400</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>usage: %1</source>
        <translation>Aufruf: %1</translation>
    </message>
</context>
<context>
    <name>FaxPreset</name>
    <message>
        <source>Usage: %1</source>
        <translation>Aufruf: %1</translation>
    </message>
    <message>
        <source>Options are:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <source>(up to 4 recipients can be specified</source>
        <translation>(bis zu 4 Empfänger können angegeben werden)</translation>
    </message>
    <message>
        <source>flush data transfer area</source>
        <translation>Datenübergabebereich leeren</translation>
    </message>
    <message>
        <source>view data transfer area</source>
        <translation>Datenübergabebereich anzeigen</translation>
    </message>
    <message>
        <source>Cannot read the data transfer area %1</source>
        <translation>Der Datenübergabebereich %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Job - %1</source>
        <translation>Auftrag - %1</translation>
    </message>
    <message>
        <source>Can&apos;t Initialise Control data area</source>
        <translation>Steuerdatenbereich kann nicht initialisiert werden</translation>
    </message>
    <message>
        <source>The value of %1 holds a character that KORVA Fax cannot send: %2</source>
        <translation>Der Wert von %1 enthält ein Zeichen, das KORVA Fax nicht senden kann: %2</translation>
    </message>
    <message>
        <source>Too many recipients defined - max 4</source>
        <translation>Zu viele Empfänger angegeben - höchstens 4</translation>
    </message>
    <message>
        <source>Cannot clear the data transfer area %1</source>
        <translation>Der Datenübergabebereich %1 kann nicht geleert werden</translation>
    </message>
    <message>
        <source>data transfer area cleared</source>
        <translation>Datenübergabebereich geleert</translation>
    </message>
    <message>
        <source>Unrecognised command %1</source>
        <translation>Unbekannter Befehl %1</translation>
    </message>
    <message>
        <source>Print job data added OK</source>
        <translation>Druckauftragsdaten erfolgreich hinzugefügt</translation>
    </message>
    <message>
        <source>Cannot write the print job data to %1; the previous data stays</source>
        <translation>Die Druckauftragsdaten können nicht in %1 geschrieben werden; die bisherigen Daten bleiben erhalten</translation>
    </message>
</context>
<context>
    <name>FaxPrint</name>
    <message>
        <source>%1 wants a number from 0 to 4294967295, not &quot;%2&quot;</source>
        <translation>%1 erwartet eine Zahl von 0 bis 4294967295, nicht „%2“</translation>
    </message>
    <message>
        <source>%1 wants mono, grey or colour, not &quot;%2&quot;</source>
        <translation>%1 erwartet mono, grey oder colour, nicht „%2“</translation>
    </message>
    <message>
        <source>%1 wants X or XxY, each from 1 to 2400, not &quot;%2&quot;</source>
        <translation>%1 erwartet X oder XxY, jeweils von 1 bis 2400, nicht „%2“</translation>
    </message>
    <message>
        <source>%1 wants a number from 1 to 65536, not &quot;%2&quot;</source>
        <translation>%1 erwartet eine Zahl von 1 bis 65536, nicht „%2“</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>%1 wants a value</source>
        <translation>%1 erwartet einen Wert</translation>
    </message>
    <message>
        <source>no file to print</source>
        <translation>keine Datei zum Drucken</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <translation>Aufruf: %1</translation>
    </message>
    <message>
        <source>Prints the pages of the files, in order, as one document through the fax
printer&apos;s exit library, the way the printer driver does.</source>
        <translation>Druckt die Seiten der Dateien der Reihe nach als ein Dokument über die
Exit-Bibliothek des Faxdruckers, so wie es der Druckertreiber tut.</translation>
    </message>
    <message>
        <source>PDF, PNG, JPEG, PNM or TIFF (every page of a TIFF)</source>
        <translation>PDF, PNG, JPEG, PNM oder TIFF (jede Seite eines TIFF)</translation>
    </message>
    <message>
        <source>document name (default: the first file&apos;s name)</source>
        <translation>Dokumentname (Standard: Name der ersten Datei)</translation>
    </message>
    <message>
        <source>print job number (default: the process id)</source>
        <translation>Nummer des Druckauftrags (Standard: die Prozess-ID)</translation>
    </message>
    <message>
        <source>bands in monochrome (default), grey or colour</source>
        <translation>Bänder in Schwarzweiß (Standard), Graustufen oder Farbe</translation>
    </message>
    <message>
        <source>resolution, e.g. 200 or 200x100 (default 200); PDF pages
are rendered at it, images printed pixel for pixel</source>
        <translation>Auflösung, z. B. 200 oder 200x100 (Standard 200); PDF-Seiten
werden damit gerendert, Bilder Pixel für Pixel gedruckt</translation>
    </message>
    <message>
        <source>rows per band (default 256)</source>
        <translation>Zeilen pro Band (Standard 256)</translation>
    </message>
    <message>
        <source>the exit library (default: ../lib/libbandsink64.so
beside this program, else ../lib/korvafax/libbandsink64.so)</source>
        <translation>die Exit-Bibliothek (Standard: ../lib/libbandsink64.so
neben diesem Programm, sonst ../lib/korvafax/libbandsink64.so)</translation>
    </message>
    <message>
        <source>%1: not a PDF, PNG, JPEG, PNM or TIFF file</source>
        <translation>%1: keine PDF-, PNG-, JPEG-, PNM- oder TIFF-Datei</translation>
    </message>
    <message>
        <source>%1: the image cannot be read</source>
        <translation>%1: das Bild kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>cannot load the exit library %1: %2</source>
        <translation>Exit-Bibliothek %1 kann nicht geladen werden: %2</translation>
    </message>
    <message>
        <source>%1; nothing printed</source>
        <translation>%1; nichts gedruckt</translation>
    </message>
    <message>
        <source>%1: not a readable PDF document</source>
        <translation>%1: kein lesbares PDF-Dokument</translation>
    </message>
    <message>
        <source>%1: the PDF document is locked with a password</source>
        <translation>%1: das PDF-Dokument ist mit einem Kennwort geschützt</translation>
    </message>
    <message>
        <source>%1: this poppler cannot render pages</source>
        <translation>%1: diese poppler-Version kann keine Seiten rendern</translation>
    </message>
    <message>
        <source>%1: page %2 cannot be read</source>
        <translation>%1: Seite %2 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1: page %2 cannot be rendered</source>
        <translation>%1: Seite %2 kann nicht gerendert werden</translation>
    </message>
    <message>
        <source>page %1: the exit library answered %2 (the print file could not be opened)</source>
        <translation>Seite %1: die Exit-Bibliothek antwortete %2 (die Druckdatei konnte nicht geöffnet werden)</translation>
    </message>
    <message>
        <source>page %1: the exit library answered %2 (rows could not be written)</source>
        <translation>Seite %1: die Exit-Bibliothek antwortete %2 (Zeilen konnten nicht geschrieben werden)</translation>
    </message>
    <message>
        <source>the document was not handed over to KORVA Fax and will not be faxed</source>
        <translation>das Dokument wurde nicht an KORVA Fax übergeben und wird nicht gefaxt</translation>
    </message>
    <message>
        <source>is a folder, not a document</source>
        <translation>ist ein Ordner, kein Dokument</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: has no pages</source>
        <translation>%1: hat keine Seiten</translation>
    </message>
</context>
</TS>
