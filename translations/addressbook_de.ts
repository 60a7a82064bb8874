<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>DirectoryRefused</name>
    <message>
        <source>error %1: %2</source>
        <translation>Fehler %1: %2</translation>
    </message>
</context>
<context>
    <name>ServerError</name>
    <message>
        <source>Error logging on to KORVA</source>
        <translation>Fehler bei der Anmeldung bei KORVA</translation>
    </message>
    <message>
        <source>Error logging on to the directory</source>
        <translation>Fehler bei der Anmeldung am Verzeichnis</translation>
    </message>
    <message>
        <source>Error reading the directory</source>
        <translation>Fehler beim Lesen des Verzeichnisses</translation>
    </message>
</context>
<context>
    <name>korva::addressbook::AddressEntryDialog</name>
    <message>
        <source>&amp;Display Name :</source>
        <translation>&amp;Anzeigename:</translation>
    </message>
    <message>
        <source>&amp;Name :</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>&amp;Title :</source>
        <translation>T&amp;itel:</translation>
    </message>
    <message>
        <source>C&amp;ompany :</source>
        <translation>&amp;Firma:</translation>
    </message>
    <message>
        <source>De&amp;partment :</source>
        <translation>Abteilun&amp;g:</translation>
    </message>
    <message>
        <source>Add&amp;ress :</source>
        <translation>A&amp;dresse:</translation>
    </message>
    <message>
        <source>Cit&amp;y :</source>
        <translation>&amp;Ort:</translation>
    </message>
    <message>
        <source>&amp;State :</source>
        <translation>B&amp;undesland:</translation>
    </message>
    <message>
        <source>Postcode/&amp;ZIP :</source>
        <translation>&amp;PLZ:</translation>
    </message>
    <message>
        <source>Co&amp;untry :</source>
        <translation>&amp;Land:</translation>
    </message>
    <message>
        <source>Te&amp;lephone :</source>
        <translation>&amp;Telefon:</translation>
    </message>
    <message>
        <source>&amp;Fax :</source>
        <translation>Fa&amp;x:</translation>
    </message>
    <message>
        <source>&amp;Mobile :</source>
        <translation>&amp;Mobil:</translation>
    </message>
    <message>
        <source>Ema&amp;il :</source>
        <translation>&amp;E-Mail:</translation>
    </message>
    <message>
        <source>Address Book Entry</source>
        <translation>Adressbucheintrag</translation>
    </message>
    <message>
        <source>&amp;Add to Fax Recipients</source>
        <translation>Zu Fax-Empfängern &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Edit Entry</source>
        <translation>Eintrag &amp;bearbeiten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>The %1 field holds characters that the address book cannot store.</source>
        <translation>Das Feld „%1“ enthält Zeichen, die das Adressbuch nicht speichern kann.</translation>
    </message>
</context>
<context>
    <name>korva::addressbook::EntryListModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Faxnummer</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Firma</translation>
    </message>
</context>
<context>
    <name>korva::addressbook::FaxAddressBookDialog</name>
    <message>
        <source>Fax Address Book</source>
        <translation>Fax-Adressbuch</translation>
    </message>
    <message>
        <source>A&amp;ll</source>
        <translation>&amp;Alle</translation>
    </message>
    <message>
        <source>&amp;Search :</source>
        <translation>&amp;Suchen:</translation>
    </message>
    <message>
        <source>&amp;Only show entries with fax numbers</source>
        <translation>Nur Einträge mit &amp;Faxnummer anzeigen</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>A&amp;ktualisieren</translation>
    </message>
    <message>
        <source>&amp;Add to Recipient List</source>
        <translation>Zur Empfängerliste &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;New Entry</source>
        <translation>&amp;Neuer Eintrag</translation>
    </message>
    <message>
        <source>&amp;Delete Entry</source>
        <translation>Eintrag &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;View/Edit Entry</source>
        <translation>Eintrag anzeigen/&amp;bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Are you sure you wish to permanently delete this address book entry?</source>
        <translation>Möchten Sie diesen Adressbucheintrag wirklich endgültig löschen?</translation>
    </message>
</context>
</TS>
