<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>ArrivalUi</name>
    <message>
        <source>An fax is already being prepared to send, do you want to add this document to that one (If you say &apos;No&apos;, this document will not be sent)?</source>
        <translation>Es wird bereits ein Fax zum Senden vorbereitet. Möchten Sie dieses Dokument hinzufügen? (Wenn Sie „Nein“ wählen, wird dieses Dokument nicht gesendet.)</translation>
    </message>
</context>
<context>
    <name>DialogSupport</name>
    <message>
        <source>The %1 field holds a character that KORVA Fax cannot send or store.</source>
        <translation>Das Feld „%1“ enthält ein Zeichen, das KORVA Fax weder senden noch speichern kann.</translation>
    </message>
</context>
<context>
    <name>LeftoverDocuments</name>
    <message>
        <source>KORVA Fax stopped before it had faxed every printed document.</source>
        <translation>KORVA Fax wurde beendet, bevor alle gedruckten Dokumente gefaxt waren.</translation>
    </message>
    <message>
        <source>%1 file(s) of that run are kept in %2; print them again to fax them.</source>
        <translation>%1 Datei(en) dieses Laufs liegen in %2; drucken Sie sie erneut, um sie zu faxen.</translation>
    </message>
    <message>
        <source>%1 could not be set aside and may be replaced by the next print.</source>
        <translation>%1 konnte nicht beiseitegelegt werden und wird beim nächsten Druck womöglich ersetzt.</translation>
    </message>
</context>
<context>
    <name>QuitQuestion</name>
    <message>
        <source>Are you sure you wish to close the KORVA Fax Printer Helper program?
You will not be able to send faxes until this program is restarted!</source>
        <translation>Möchten Sie das Hilfsprogramm von KORVA Fax Printer wirklich beenden?
Sie können erst wieder Faxe senden, wenn dieses Programm neu gestartet wurde!</translation>
    </message>
</context>
<context>
    <name>SendFaxRules</name>
    <message>
        <source>%1 page</source>
        <translation>%1 Seite</translation>
    </message>
    <message>
        <source>%1 pages</source>
        <translation>%1 Seiten</translation>
    </message>
</context>
<context>
    <name>korva::app::ConfigureDialog</name>
    <message>
        <source>KORVA &amp;Server Address:</source>
        <translation>KORVA-&amp;Serveradresse:</translation>
    </message>
    <message>
        <source>SM&amp;TP Server Port:</source>
        <translation>SM&amp;TP-Serverport:</translation>
    </message>
    <message>
        <source>POP&amp;3 Server Port:</source>
        <translation>POP&amp;3-Serverport:</translation>
    </message>
    <message>
        <source>&amp;LDAP Server Port:</source>
        <translation>&amp;LDAP-Serverport:</translation>
    </message>
    <message>
        <source>KORVA &amp;User Name:</source>
        <translation>KORVA-&amp;Benutzername:</translation>
    </message>
    <message>
        <source>KORVA Pass&amp;word:</source>
        <translation>KORVA-Pass&amp;wort:</translation>
    </message>
    <message>
        <source>Your Email A&amp;ddress:</source>
        <translation>Ihre E-Mail-&amp;Adresse:</translation>
    </message>
    <message>
        <source>Fa&amp;x Email Address:</source>
        <translation>Fa&amp;x-E-Mail-Adresse:</translation>
    </message>
    <message>
        <source>&amp;Real Name:</source>
        <translation>Ihr &amp;Name:</translation>
    </message>
    <message>
        <source>Co&amp;mpany Name:</source>
        <translation>Fir&amp;ma:</translation>
    </message>
    <message>
        <source>Your &amp;Phone Number:</source>
        <translation>Ihre Telefonn&amp;ummer:</translation>
    </message>
    <message>
        <source>Your &amp;Fax Number:</source>
        <translation>Ihre &amp;Faxnummer:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>(e.g. user@domain.com)</source>
        <translation>(z. B. benutzer@domain.com)</translation>
    </message>
    <message>
        <source>(usually fax@domain.com)</source>
        <translation>(meist fax@domain.com)</translation>
    </message>
    <message>
        <source>Configure KORVA Fax V0.16</source>
        <translation>KORVA Fax V0.16 konfigurieren</translation>
    </message>
    <message>
        <source>Cover Pa&amp;ge(s):
(Only supported with KORVA 2.1.12 and later)</source>
        <translation>Dec&amp;kblätter:
(Erst ab KORVA 2.1.12 unterstützt)</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abb&amp;rechen</translation>
    </message>
    <message>
        <source>Waiting for the keyring…</source>
        <translation>Warten auf den Schlüsselbund…</translation>
    </message>
    <message>
        <source>&amp;Encryption:</source>
        <translation>&amp;Verschlüsselung:</translation>
    </message>
    <message>
        <source>Without encryption the password crosses the network in the clear.</source>
        <translation>Ohne Verschlüsselung wird das Passwort im Klartext über das Netzwerk übertragen.</translation>
    </message>
    <message>
        <source>Configuration Is Needed</source>
        <translation>Konfiguration erforderlich</translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation>Verschlüsselung</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>The %1 setting cannot be used: %2.</source>
        <translation>Die Einstellung „%1“ kann nicht verwendet werden: %2.</translation>
    </message>
    <message>
        <source>Cover Page(s)</source>
        <translation>Deckblätter</translation>
    </message>
</context>
<context>
    <name>korva::app::DirectoryNamesGroup</name>
    <message>
        <source>Directory &amp;base DN:</source>
        <translation>Verzeichnis-Basis-&amp;DN:</translation>
    </message>
    <message>
        <source>Directory b&amp;ind DN:</source>
        <translation>Verzeichnis-B&amp;ind-DN:</translation>
    </message>
    <message>
        <source>the user name</source>
        <translation>der Benutzername</translation>
    </message>
    <message>
        <source>&amp;Advanced</source>
        <translation>&amp;Erweitert</translation>
    </message>
    <message>
        <source>For a standard directory such as OpenLDAP, e.g. base
ou=people,dc=example,dc=com and bind uid=anna,ou=people,dc=example,dc=com</source>
        <translation>Für ein Standardverzeichnis wie OpenLDAP, z. B. Basis
ou=people,dc=example,dc=com und Bind uid=anna,ou=people,dc=example,dc=com</translation>
    </message>
</context>
<context>
    <name>korva::app::ProgressDialog</name>
    <message>
        <source>Fax Progress</source>
        <translation>Faxfortschritt</translation>
    </message>
    <message>
        <source>The fax is being prepared for sending</source>
        <translation>Das Fax wird zum Senden vorbereitet</translation>
    </message>
    <message>
        <source>page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>korva::app::RecipientList</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Nummer</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Firma</translation>
    </message>
    <message>
        <source>The recipient &quot;%1&quot; holds the character &quot;%2&quot;, which KORVA Fax cannot send or store.</source>
        <translation>Der Empfänger „%1“ enthält das Zeichen „%2“, das KORVA Fax weder senden noch speichern kann.</translation>
    </message>
</context>
<context>
    <name>korva::app::SendFaxDialog</name>
    <message>
        <source>Send KORVA Fax (V0.16)</source>
        <translation>KORVA Fax senden (V0.16)</translation>
    </message>
    <message>
        <source>Co&amp;nfigure...</source>
        <translation>&amp;Konfigurieren...</translation>
    </message>
    <message>
        <source>&amp;Subject :</source>
        <translation>Be&amp;treff:</translation>
    </message>
    <message>
        <source>&amp;Comments :</source>
        <translation>Be&amp;merkungen:</translation>
    </message>
    <message>
        <source>View Address &amp;Book</source>
        <translation>&amp;Adressbuch anzeigen</translation>
    </message>
    <message>
        <source>&amp;Documents</source>
        <translation>&amp;Dokumente</translation>
    </message>
    <message>
        <source>Total Pages: </source>
        <translation>Seiten gesamt: </translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Preview Fa&amp;x</source>
        <translation>Fax-&amp;Vorschau</translation>
    </message>
    <message>
        <source>Recipient &amp;Fax Number:</source>
        <translation>Empfänger-&amp;Faxnummer:</translation>
    </message>
    <message>
        <source>&amp;Recipient Name:</source>
        <translation>Empfänger&amp;name:</translation>
    </message>
    <message>
        <source>Recipient C&amp;ompany:</source>
        <translation>Empfängerf&amp;irma:</translation>
    </message>
    <message>
        <source>&amp;Add Recipient</source>
        <translation>Empfänger &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Re&amp;place Recipient</source>
        <translation>Empfänger &amp;ersetzen</translation>
    </message>
    <message>
        <source>Remo&amp;ve Recipient</source>
        <translation>Empfänger entfe&amp;rnen</translation>
    </message>
    <message>
        <source>Cover Pa&amp;ge:</source>
        <translation>Deck&amp;blatt:</translation>
    </message>
    <message>
        <source>S&amp;end Fax</source>
        <translation>Fax &amp;senden</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Betreff</translation>
    </message>
    <message>
        <source>Comments</source>
        <translation>Bemerkungen</translation>
    </message>
    <message>
        <source>Recipient List</source>
        <translation>Empfängerliste</translation>
    </message>
    <message>
        <source>No Documents are ready to be sent</source>
        <translation>Es sind keine Dokumente zum Senden bereit</translation>
    </message>
    <message>
        <source>No Recipients Defined
Press the ADD button to add recipients to the recipient list</source>
        <translation>Keine Empfänger angegeben
Klicken Sie auf „Empfänger hinzufügen“, um der Empfängerliste Empfänger hinzuzufügen</translation>
    </message>
</context>
</TS>
