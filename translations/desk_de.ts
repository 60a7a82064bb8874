<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Courier</name>
    <message>
        <source>faxcourier already runs; asked it to open the Fax Address Book</source>
        <translation>faxcourier läuft bereits und wurde gebeten, das Fax-Adressbuch zu öffnen</translation>
    </message>
    <message>
        <source>faxcourier already runs; asked it to open the Outbox window</source>
        <translation>faxcourier läuft bereits und wurde gebeten, das Fenster „Postausgang“ zu öffnen</translation>
    </message>
    <message>
        <source>faxcourier already runs; asked it to open Configure</source>
        <translation>faxcourier läuft bereits und wurde gebeten, „Konfigurieren“ zu öffnen</translation>
    </message>
    <message>
        <source>A Send Fax dialog is open: send or cancel that fax first.</source>
        <translation>Ein Dialog „Fax senden“ ist geöffnet: Senden oder verwerfen Sie zuerst dieses Fax.</translation>
    </message>
    <message>
        <source>A printed fax is being prepared: send or cancel it first.</source>
        <translation>Ein gedrucktes Fax wird gerade vorbereitet: Senden oder verwerfen Sie es zuerst.</translation>
    </message>
    <message>
        <source>The outbox is being sent just now; try again when that is done.</source>
        <translation>Der Postausgang wird gerade gesendet; versuchen Sie es danach erneut.</translation>
    </message>
    <message>
        <source>This fax is no longer in the outbox.</source>
        <translation>Dieses Fax ist nicht mehr im Postausgang.</translation>
    </message>
</context>
<context>
    <name>DesktopNotice</name>
    <message>
        <source>Open Outbox</source>
        <translation>Postausgang öffnen</translation>
    </message>
</context>
<context>
    <name>FaxNotice</name>
    <message>
        <source>No subject</source>
        <translation>Kein Betreff</translation>
    </message>
    <message>
        <source>1 page</source>
        <translation>1 Seite</translation>
    </message>
    <message>
        <source>%1 pages</source>
        <translation>%1 Seiten</translation>
    </message>
    <message>
        <source>%1 and %2 more</source>
        <translation>%1 und %2 weitere</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <source>Fax sent</source>
        <translation>Fax gesendet</translation>
    </message>
    <message>
        <source>Fax waiting in the outbox</source>
        <translation>Fax wartet im Postausgang</translation>
    </message>
    <message>
        <source>Fax refused</source>
        <translation>Fax abgelehnt</translation>
    </message>
    <message>
        <source>To %1</source>
        <translation>An %1</translation>
    </message>
    <message>
        <source>1 fax waits in the outbox</source>
        <translation>1 Fax wartet im Postausgang</translation>
    </message>
    <message>
        <source>%1 faxes wait in the outbox</source>
        <translation>%1 Faxe warten im Postausgang</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 an %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
</context>
<context>
    <name>FaxcourierMain</name>
    <message>
        <source>faxcourier: the spool folder cannot be found or made</source>
        <translation>faxcourier: Der Spool-Ordner kann nicht gefunden oder angelegt werden</translation>
    </message>
    <message>
        <source>faxcourier does not run on this session bus; nothing to end</source>
        <translation>faxcourier läuft nicht auf diesem Sitzungsbus; es gibt nichts zu beenden</translation>
    </message>
    <message>
        <source>faxcourier: %1</source>
        <translation>faxcourier: %1</translation>
    </message>
</context>
<context>
    <name>OutboxCommand</name>
    <message>
        <source>%1 in %2 document(s)</source>
        <translation>%1 in %2 Dokument(en)</translation>
    </message>
    <message>
        <source>created</source>
        <translation>erstellt</translation>
    </message>
    <message>
        <source>attempts</source>
        <translation>Versuche</translation>
    </message>
    <message>
        <source>subject</source>
        <translation>Betreff</translation>
    </message>
    <message>
        <source>recipients</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>The outbox is empty.</source>
        <translation>Der Postausgang ist leer.</translation>
    </message>
    <message>
        <source>%1 fax(es) in the outbox, oldest first:</source>
        <translation>%1 Fax(e) im Postausgang, älteste zuerst:</translation>
    </message>
    <message>
        <source>%1 fax(es) were being stored when a run ended; faxcourier puts them in place at its next start.</source>
        <translation>%1 Fax(e) wurden beim Ende eines Laufs gerade abgelegt; faxcourier stellt sie beim nächsten Start bereit.</translation>
    </message>
    <message>
        <source>Another KORVA Fax is sending the outbox; try again later.</source>
        <translation>Ein anderes KORVA Fax sendet gerade den Postausgang; versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>gesendet</translation>
    </message>
    <message>
        <source>The sent fax %1 could not be noted in %2 (error %3).</source>
        <translation>Das gesendete Fax %1 konnte nicht in %2 vermerkt werden (Fehler %3).</translation>
    </message>
    <message>
        <source>no recipients, waits for the Send Fax dialog</source>
        <translation>keine Empfänger, wartet auf den Dialog „Fax senden“</translation>
    </message>
    <message>
        <source>There is no fax %1 in the outbox; --outbox lists them.</source>
        <translation>Im Postausgang gibt es kein Fax %1; --outbox listet sie auf.</translation>
    </message>
    <message>
        <source>The fax %1 could not be removed from %2.</source>
        <translation>Das Fax %1 konnte nicht aus %2 entfernt werden.</translation>
    </message>
    <message>
        <source>Removed %1 from the outbox.</source>
        <translation>%1 wurde aus dem Postausgang entfernt.</translation>
    </message>
    <message>
        <source>Usage: faxcourier --outbox | --outbox-retry | --outbox-drop ID | --sent</source>
        <translation>Aufruf: faxcourier --outbox | --outbox-retry | --outbox-drop ID | --sent</translation>
    </message>
</context>
<context>
    <name>OutboxKeeper</name>
    <message>
        <source>Fax not sent</source>
        <translation>Fax nicht gesendet</translation>
    </message>
    <message>
        <source>It could not be put in the outbox; its documents stay in %1.</source>
        <translation>Es konnte nicht in den Postausgang gelegt werden; seine Dokumente bleiben in %1.</translation>
    </message>
</context>
<context>
    <name>OutboxText</name>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>abgelehnt</translation>
    </message>
    <message>
        <source>needs the dialog</source>
        <translation>braucht den Dialog</translation>
    </message>
    <message>
        <source>waiting, next try %1</source>
        <translation>wartet, nächster Versuch %1</translation>
    </message>
    <message>
        <source>refused, sent again only on request</source>
        <translation>abgelehnt, wird nur auf Anforderung erneut gesendet</translation>
    </message>
    <message>
        <source>no recipients, offered in the Send Fax dialog</source>
        <translation>keine Empfänger, wird im Dialog „Fax senden“ angeboten</translation>
    </message>
    <message>
        <source>offered in the Send Fax dialog, never sent from here</source>
        <translation>wird im Dialog „Fax senden“ angeboten, nie von hier gesendet</translation>
    </message>
</context>
<context>
    <name>OutboxWindow</name>
    <message>
        <source>KORVA Fax Outbox</source>
        <translation>KORVA Fax – Postausgang</translation>
    </message>
    <message>
        <source>Out&amp;box</source>
        <translation>&amp;Postausgang</translation>
    </message>
    <message>
        <source>&amp;Sent</source>
        <translation>&amp;Gesendet</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Betreff</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Erstellt</translation>
    </message>
    <message>
        <source>Attempts</source>
        <translation>Versuche</translation>
    </message>
    <message>
        <source>Next Try</source>
        <translation>Nächster Versuch</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>&amp;Retry Now</source>
        <translation>&amp;Jetzt senden</translation>
    </message>
    <message>
        <source>&amp;Open in Send Fax</source>
        <translation>In „Fax senden“ &amp;öffnen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Date and Time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>How</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Sending…</source>
        <translation>Wird gesendet…</translation>
    </message>
    <message>
        <source>This fax is open in the Send Fax dialog.</source>
        <translation>Dieses Fax ist im Dialog „Fax senden“ geöffnet.</translation>
    </message>
    <message>
        <source>This fax is sent only from the Send Fax dialog.</source>
        <translation>Dieses Fax wird nur aus dem Dialog „Fax senden“ gesendet.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Delete the fax &quot;%1&quot; to %2 and its documents from the outbox?</source>
        <translation>Das Fax „%1“ an %2 samt seinen Dokumenten aus dem Postausgang löschen?</translation>
    </message>
    <message>
        <source>The fax could not be removed from %1.</source>
        <translation>Das Fax konnte nicht aus %1 entfernt werden.</translation>
    </message>
</context>
<context>
    <name>ProgramInfo</name>
    <message>
        <source>open the Configure dialog; when faxcourier runs already,
ask it to open it (so does a second start without options)</source>
        <translation>den Dialog „Konfigurieren“ öffnen; läuft faxcourier bereits,
öffnet ihn das laufende Programm (ebenso ein zweiter
Start ohne Optionen)</translation>
    </message>
    <message>
        <source>open the Fax Address Book; when faxcourier runs already,
ask it to open it</source>
        <translation>das Fax-Adressbuch öffnen; läuft faxcourier bereits,
öffnet es das laufende Programm</translation>
    </message>
    <message>
        <source>open the Outbox window of the running faxcourier</source>
        <translation>das Fenster „Postausgang“ des laufenden faxcourier öffnen</translation>
    </message>
    <message>
        <source>list the faxes that wait to be sent, and why</source>
        <translation>die Faxe auflisten, die auf das Senden warten, mit Grund</translation>
    </message>
    <message>
        <source>send every waiting fax now</source>
        <translation>alle wartenden Faxe jetzt senden</translation>
    </message>
    <message>
        <source>remove the waiting fax ID and its documents</source>
        <translation>das wartende Fax ID samt Dokumenten entfernen</translation>
    </message>
    <message>
        <source>list the faxes the server accepted</source>
        <translation>die vom Server angenommenen Faxe auflisten</translation>
    </message>
    <message>
        <source>ask the running faxcourier to end</source>
        <translation>den laufenden faxcourier bitten, sich zu beenden</translation>
    </message>
    <message>
        <source>write the debug log</source>
        <translation>das Debug-Protokoll schreiben</translation>
    </message>
    <message>
        <source>show this help and end</source>
        <translation>diese Hilfe anzeigen und beenden</translation>
    </message>
    <message>
        <source>show the version and end</source>
        <translation>die Version anzeigen und beenden</translation>
    </message>
    <message>
        <source>Usage: faxcourier [OPTION]
Runs in the background for the logged-on user, turns printed documents into
faxes and sends them through the KORVA mail server.</source>
        <translation>Aufruf: faxcourier [OPTION]
Läuft im Hintergrund für den angemeldeten Benutzer, macht aus gedruckten
Dokumenten Faxe und sendet sie über den KORVA-Mailserver.</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option „%1“</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs %2</source>
        <translation>Option „%1“ braucht %2</translation>
    </message>
</context>
<context>
    <name>SentJournal</name>
    <message>
        <source>at once</source>
        <translation>sofort</translation>
    </message>
    <message>
        <source>from the outbox</source>
        <translation>aus dem Postausgang</translation>
    </message>
    <message>
        <source>by hand</source>
        <translation>von Hand</translation>
    </message>
    <message>
        <source>No fax has been sent yet.</source>
        <translation>Es wurde noch kein Fax gesendet.</translation>
    </message>
    <message>
        <source>%1 fax(es) sent, newest first:</source>
        <translation>%1 Fax(e) gesendet, neueste zuerst:</translation>
    </message>
    <message>
        <source>recipients</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>subject</source>
        <translation>Betreff</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>Seiten</translation>
    </message>
</context>
<context>
    <name>StatusIcon</name>
    <message>
        <source>&amp;Configure…</source>
        <translation>&amp;Konfigurieren…</translation>
    </message>
    <message>
        <source>&amp;Address Book…</source>
        <translation>&amp;Adressbuch…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Outbox…</source>
        <translation>&amp;Postausgang…</translation>
    </message>
    <message>
        <source>&amp;Outbox: 1 fax waiting…</source>
        <translation>&amp;Postausgang: 1 Fax wartet…</translation>
    </message>
    <message>
        <source>&amp;Outbox: %1 faxes waiting…</source>
        <translation>&amp;Postausgang: %1 Faxe warten…</translation>
    </message>
</context>
<context>
    <name>SubmitWords</name>
    <message>
        <source>faxcourier ended before the fax was sent</source>
        <translation>faxcourier wurde beendet, bevor das Fax gesendet war</translation>
    </message>
    <message>
        <source>the server&apos;s name could not be looked up</source>
        <translation>der Name des Servers konnte nicht aufgelöst werden</translation>
    </message>
    <message>
        <source>the server did not answer</source>
        <translation>der Server hat nicht geantwortet</translation>
    </message>
    <message>
        <source>the server broke off the connection</source>
        <translation>der Server hat die Verbindung abgebrochen</translation>
    </message>
    <message>
        <source>the server&apos;s answer could not be read</source>
        <translation>die Antwort des Servers war nicht lesbar</translation>
    </message>
    <message>
        <source>the connection to the server failed</source>
        <translation>die Verbindung zum Server ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>the server refused the fax</source>
        <translation>der Server hat das Fax abgelehnt</translation>
    </message>
    <message>
        <source>the server refused the fax: %1</source>
        <translation>der Server hat das Fax abgelehnt: %1</translation>
    </message>
    <message>
        <source>the server turned the connection away</source>
        <translation>der Server hat die Verbindung abgewiesen</translation>
    </message>
    <message>
        <source>the server turned the connection away: %1</source>
        <translation>der Server hat die Verbindung abgewiesen: %1</translation>
    </message>
    <message>
        <source>the log-on was refused</source>
        <translation>die Anmeldung wurde abgelehnt</translation>
    </message>
    <message>
        <source>the log-on was refused: %1</source>
        <translation>die Anmeldung wurde abgelehnt: %1</translation>
    </message>
    <message>
        <source>the sender&apos;s e-mail address was refused</source>
        <translation>die E-Mail-Adresse des Absenders wurde abgelehnt</translation>
    </message>
    <message>
        <source>the sender&apos;s e-mail address was refused: %1</source>
        <translation>die E-Mail-Adresse des Absenders wurde abgelehnt: %1</translation>
    </message>
    <message>
        <source>the fax address was refused</source>
        <translation>die Faxadresse wurde abgelehnt</translation>
    </message>
    <message>
        <source>the fax address was refused: %1</source>
        <translation>die Faxadresse wurde abgelehnt: %1</translation>
    </message>
    <message>
        <source>the certificate was refused: certificate has expired</source>
        <translation>das Zertifikat wurde abgelehnt: Zertifikat ist abgelaufen</translation>
    </message>
    <message>
        <source>the certificate was refused: certificate is not yet valid</source>
        <translation>das Zertifikat wurde abgelehnt: Zertifikat ist noch nicht gültig</translation>
    </message>
    <message>
        <source>the certificate was refused: not trusted</source>
        <translation>das Zertifikat wurde abgelehnt: nicht vertrauenswürdig</translation>
    </message>
    <message>
        <source>the certificate was refused: issued for another name</source>
        <translation>das Zertifikat wurde abgelehnt: für einen anderen Namen ausgestellt</translation>
    </message>
    <message>
        <source>the certificate was refused</source>
        <translation>das Zertifikat wurde abgelehnt</translation>
    </message>
    <message>
        <source>the certificate was refused: %1</source>
        <translation>das Zertifikat wurde abgelehnt: %1</translation>
    </message>
    <message>
        <source>the encrypted connection failed</source>
        <translation>die verschlüsselte Verbindung ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>the encrypted connection failed: %1</source>
        <translation>die verschlüsselte Verbindung ist fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>the server offers no encryption (STARTTLS)</source>
        <translation>der Server bietet keine Verschlüsselung an (STARTTLS)</translation>
    </message>
    <message>
        <source>a document of the fax cannot be read</source>
        <translation>ein Dokument des Faxes ist nicht lesbar</translation>
    </message>
    <message>
        <source>the settings cannot be used</source>
        <translation>die Einstellungen sind nicht verwendbar</translation>
    </message>
    <message>
        <source>the settings cannot be used: %1</source>
        <translation>die Einstellungen sind nicht verwendbar: %1</translation>
    </message>
    <message>
        <source>a document of the fax is missing</source>
        <translation>ein Dokument des Faxes fehlt</translation>
    </message>
    <message>
        <source>open in the Send Fax dialog</source>
        <translation>im Dialog „Fax senden“ geöffnet</translation>
    </message>
    <message>
        <source>not accepted</source>
        <translation>nicht angenommen</translation>
    </message>
    <message>
        <source>no recipients: waits for the Send Fax dialog</source>
        <translation>keine Empfänger: wartet auf den Dialog „Fax senden“</translation>
    </message>
    <message>
        <source>the Send Fax dialog was open when faxcourier ended: waits for it</source>
        <translation>der Dialog „Fax senden“ war beim Beenden von faxcourier geöffnet: wartet darauf</translation>
    </message>
</context>
</TS>
