<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>DirectoryRefused</name>
    <message>
        <source>error %1: %2</source>
        <translation>erreur %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>ServerError</name>
    <message>
        <source>Error logging on to KORVA</source>
        <translation>Erreur d&apos;authentification auprès de KORVA</translation>
    </message>
    <message>
        <source>Error logging on to the directory</source>
        <translation>Erreur d&apos;authentification auprès de l&apos;annuaire</translation>
    </message>
    <message>
        <source>Error reading the directory</source>
        <translation>Erreur de lecture de l&apos;annuaire</translation>
    </message>
</context>
<context>
    <name>korva::addressbook::AddressEntryDialog</name>
    <message>
        <source>&amp;Display Name :</source>
        <translation>Nom &amp;affiché&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Name :</source>
        <translation>&amp;Nom&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Title :</source>
        <translation>T&amp;itre&#xa0;:</translation>
    </message>
    <message>
        <source>C&amp;ompany :</source>
        <translation>&amp;Société&#xa0;:</translation>
    </message>
    <message>
        <source>De&amp;partment :</source>
        <translation>S&amp;ervice&#xa0;:</translation>
    </message>
    <message>
        <source>Add&amp;ress :</source>
        <translation>A&amp;dresse&#xa0;:</translation>
    </message>
    <message>
        <source>Cit&amp;y :</source>
        <translation>&amp;Ville&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;State :</source>
        <translation>&amp;Région&#xa0;:</translation>
    </message>
    <message>
        <source>Postcode/&amp;ZIP :</source>
        <translation>Code &amp;postal&#xa0;:</translation>
    </message>
    <message>
        <source>Co&amp;untry :</source>
        <translation>Pa&amp;ys&#xa0;:</translation>
    </message>
    <message>
        <source>Te&amp;lephone :</source>
        <translation>&amp;Téléphone&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Fax :</source>
        <translation>&amp;Fax&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Mobile :</source>
        <translation>&amp;Mobile&#xa0;:</translation>
    </message>
    <message>
        <source>Ema&amp;il :</source>
        <translation>&amp;Courriel&#xa0;:</translation>
    </message>
    <message>
        <source>Address Book Entry</source>
        <translation>Entrée du carnet d&apos;adresses</translation>
    </message>
    <message>
        <source>&amp;Add to Fax Recipients</source>
        <translation>Ajo&amp;uter aux destinataires du fax</translation>
    </message>
    <message>
        <source>&amp;Edit Entry</source>
        <translation>M&amp;odifier l&apos;entrée</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>The %1 field holds characters that the address book cannot store.</source>
        <translation>Le champ «&#xa0;%1&#xa0;» contient des caractères que le carnet d&apos;adresses ne peut pas enregistrer.</translation>
    </message>
</context>
<context>
    <name>korva::addressbook::EntryListModel</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Numéro</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Société</translation>
    </message>
</context>
<context>
    <name>korva::addressbook::FaxAddressBookDialog</name>
    <message>
        <source>Fax Address Book</source>
        <translation>Carnet d&apos;adresses fax</translation>
    </message>
    <message>
        <source>A&amp;ll</source>
        <translation>&amp;Tous</translation>
    </message>
    <message>
        <source>&amp;Search :</source>
        <translation>&amp;Rechercher&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Only show entries with fax numbers</source>
        <translation>Afficher &amp;uniquement les entrées avec un numéro de fax</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>A&amp;ctualiser</translation>
    </message>
    <message>
        <source>&amp;Add to Recipient List</source>
        <translation>&amp;Ajouter aux destinataires</translation>
    </message>
    <message>
        <source>&amp;New Entry</source>
        <translation>&amp;Nouvelle entrée</translation>
    </message>
    <message>
        <source>&amp;Delete Entry</source>
        <translation>&amp;Supprimer l&apos;entrée</translation>
    </message>
    <message>
        <source>&amp;View/Edit Entry</source>
        <translation>Afficher/&amp;modifier l&apos;entrée</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>Are you sure you wish to permanently delete this address book entry?</source>
        <translation>Voulez-vous vraiment supprimer définitivement cette entrée du carnet d&apos;adresses&#xa0;?</translation>
    </message>
</context>
</TS>
