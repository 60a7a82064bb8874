<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>CertificateProblem</name>
    <message>
        <source>certificate has expired</source>
        <translation>Zertifikat ist abgelaufen</translation>
    </message>
    <message>
        <source>certificate is not yet valid</source>
        <translation>Zertifikat ist noch nicht gültig</translation>
    </message>
    <message>
        <source>not trusted</source>
        <translation>nicht vertrauenswürdig</translation>
    </message>
    <message>
        <source>issued for another name</source>
        <translation>für einen anderen Namen ausgestellt</translation>
    </message>
    <message>
        <source>certificate refused</source>
        <translation>Zertifikat abgelehnt</translation>
    </message>
    <message>
        <source>the connection is not encrypted</source>
        <translation>die Verbindung ist nicht verschlüsselt</translation>
    </message>
    <message>
        <source>The certificate of %1 was refused: %2.</source>
        <translation>Das Zertifikat von %1 wurde abgelehnt: %2.</translation>
    </message>
    <message>
        <source>TLS with %1 failed: %2.</source>
        <translation>TLS mit %1 ist fehlgeschlagen: %2.</translation>
    </message>
    <message>
        <source>TLS could not be set up for %1</source>
        <translation>TLS konnte für %1 nicht eingerichtet werden</translation>
    </message>
    <message>
        <source>The CA file %1 cannot be read</source>
        <translation>Die CA-Datei %1 kann nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>ControlArea</name>
    <message>
        <source>CreateMutex Error</source>
        <translation>CreateMutex-Fehler</translation>
    </message>
    <message>
        <source>Error %1</source>
        <translation>Fehler %1</translation>
    </message>
</context>
<context>
    <name>Conversion</name>
    <message>
        <source>The printed document cannot be read (%1); no fax pages were made.</source>
        <translation>Das gedruckte Dokument kann nicht gelesen werden (%1); es wurden keine Faxseiten erstellt.</translation>
    </message>
    <message>
        <source>Page %1 of the printed document cannot be converted (%2) and is left out of the fax.</source>
        <translation>Seite %1 des gedruckten Dokuments kann nicht umgewandelt werden (%2) und fehlt im Fax.</translation>
    </message>
    <message>
        <source>The printed document was not faxed. It could not be moved to %1 (error %2). It stays as %3.</source>
        <translation>Das gedruckte Dokument wurde nicht gefaxt. Es konnte nicht nach %1 verschoben werden (Fehler %2). Es bleibt als %3 erhalten.</translation>
    </message>
    <message>
        <source>The printed document was not faxed. It is kept as %1.</source>
        <translation>Das gedruckte Dokument wurde nicht gefaxt. Es wird als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>The disk is full: the printed document was not faxed. It is kept and faxed when it can be written again.</source>
        <translation>Der Datenträger ist voll: Das gedruckte Dokument wurde nicht gefaxt. Es wird aufbewahrt und gefaxt, sobald es wieder geschrieben werden kann.</translation>
    </message>
    <message>
        <source>The fax document cannot be written (%1): the printed document was not faxed. It is kept and faxed when it can be written again.</source>
        <translation>Das Faxdokument kann nicht geschrieben werden (%1): Das gedruckte Dokument wurde nicht gefaxt. Es wird aufbewahrt und gefaxt, sobald es wieder geschrieben werden kann.</translation>
    </message>
</context>
<context>
    <name>FaxSubmission</name>
    <message>
        <source>The fax document %1 cannot be read (error %2). The fax was not sent.</source>
        <translation>Das Faxdokument %1 kann nicht gelesen werden (Fehler %2). Das Fax wurde nicht gesendet.</translation>
    </message>
</context>
<context>
    <name>ServerError</name>
    <message>
        <source>line break in the entry&apos;s name or attribute name</source>
        <translation>Zeilenumbruch im Namen des Eintrags oder des Attributs</translation>
    </message>
    <message>
        <source>Socket error Creating LDAP Entry</source>
        <translation>Socket-Fehler beim Anlegen des LDAP-Eintrags</translation>
    </message>
    <message>
        <source>Error Creating LDAP Entry</source>
        <translation>Fehler beim Anlegen des LDAP-Eintrags</translation>
    </message>
    <message>
        <source>Error Setting Attribute</source>
        <translation>Fehler beim Setzen des Attributs</translation>
    </message>
    <message>
        <source>Socket error Setting Attribute</source>
        <translation>Socket-Fehler beim Setzen des Attributs</translation>
    </message>
    <message>
        <source>Error Deleting LDAP Entry</source>
        <translation>Fehler beim Löschen des LDAP-Eintrags</translation>
    </message>
    <message>
        <source>Socket error Deleting LDAP Entry</source>
        <translation>Socket-Fehler beim Löschen des LDAP-Eintrags</translation>
    </message>
    <message>
        <source>Error connecting to KORVA server</source>
        <translation>Fehler beim Verbinden mit dem KORVA-Server</translation>
    </message>
    <message>
        <source>Error logging on to KORVA</source>
        <translation>Fehler bei der Anmeldung bei KORVA</translation>
    </message>
    <message>
        <source>Socket error logging on to KORVA</source>
        <translation>Socket-Fehler bei der Anmeldung bei KORVA</translation>
    </message>
    <message>
        <source>Error sending fax</source>
        <translation>Fehler beim Senden des Fax</translation>
    </message>
    <message>
        <source>Socket error sending fax</source>
        <translation>Socket-Fehler beim Senden des Fax</translation>
    </message>
    <message>
        <source>Unable to read fax document</source>
        <translation>Faxdokument kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Unable to create socket</source>
        <translation>Socket kann nicht erstellt werden</translation>
    </message>
    <message>
        <source>Unable to bind socket</source>
        <translation>Socket kann nicht gebunden werden</translation>
    </message>
    <message>
        <source>Unable to connect to server</source>
        <translation>Keine Verbindung zum Server möglich</translation>
    </message>
    <message>
        <source>Error in the KORVA Fax settings</source>
        <translation>Fehler in den Einstellungen von KORVA Fax</translation>
    </message>
</context>
<context>
    <name>ServerTarget</name>
    <message>
        <source>Server is empty; it must name the mail server</source>
        <translation>Die Serveradresse ist leer; sie muss den Mailserver nennen</translation>
    </message>
    <message>
        <source>Server is &quot;%1&quot;; it must be one host name or address, without blanks, commas, slashes or a scheme</source>
        <translation>Die Serveradresse ist „%1“; sie muss ein einzelner Hostname oder eine Adresse sein, ohne Leerzeichen, Kommas, Schrägstriche oder Schema</translation>
    </message>
    <message>
        <source>Encryption is %1; it must be 0 (none), 1 (STARTTLS) or 2 (TLS)</source>
        <translation>Die Verschlüsselung ist %1; sie muss 0 (keine), 1 (STARTTLS) oder 2 (TLS) sein</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Error saving settings</source>
        <translation>Fehler beim Speichern der Einstellungen</translation>
    </message>
</context>
<context>
    <name>SpoolFolder</name>
    <message>
        <source>The spool folder %1 cannot be examined (%2); KORVA Fax will not use it.</source>
        <translation>Der Spool-Ordner %1 kann nicht geprüft werden (%2); KORVA Fax verwendet ihn nicht.</translation>
    </message>
    <message>
        <source>The spool folder %1 is not a folder; KORVA Fax will not use it.</source>
        <translation>Der Spool-Ordner %1 ist kein Ordner; KORVA Fax verwendet ihn nicht.</translation>
    </message>
    <message>
        <source>The spool folder %1 is not owned by you; KORVA Fax will not use it.</source>
        <translation>Der Spool-Ordner %1 gehört nicht Ihnen; KORVA Fax verwendet ihn nicht.</translation>
    </message>
    <message>
        <source>The spool folder %1 is not owned by %2; KORVA Fax will not use it.</source>
        <translation>Der Spool-Ordner %1 gehört nicht %2; KORVA Fax verwendet ihn nicht.</translation>
    </message>
    <message>
        <source>The spool folder %1 is writable by other users (mode %2); KORVA Fax will not use it.</source>
        <translation>Der Spool-Ordner %1 ist für andere Benutzer beschreibbar (Modus %2); KORVA Fax verwendet ihn nicht.</translation>
    </message>
</context>
</TS>
