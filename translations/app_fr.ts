<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>ArrivalUi</name>
    <message>
        <source>An fax is already being prepared to send, do you want to add this document to that one (If you say &apos;No&apos;, this document will not be sent)?</source>
        <translation>Un fax est déjà en préparation. Voulez-vous y ajouter ce document (si vous répondez «&#xa0;Non&#xa0;», ce document ne sera pas envoyé)&#xa0;?</translation>
    </message>
</context>
<context>
    <name>DialogSupport</name>
    <message>
        <source>The %1 field holds a character that KORVA Fax cannot send or store.</source>
        <translation>Le champ «&#xa0;%1&#xa0;» contient un caractère que KORVA Fax ne peut ni envoyer ni enregistrer.</translation>
    </message>
</context>
<context>
    <name>LeftoverDocuments</name>
    <message>
        <source>KORVA Fax stopped before it had faxed every printed document.</source>
        <translation>KORVA Fax s&apos;est arrêté avant d&apos;avoir faxé tous les documents imprimés.</translation>
    </message>
    <message>
        <source>%1 file(s) of that run are kept in %2; print them again to fax them.</source>
        <translation>%1 fichier(s) de cette session sont conservés dans %2&#xa0;; imprimez-les à nouveau pour les faxer.</translation>
    </message>
    <message>
        <source>%1 could not be set aside and may be replaced by the next print.</source>
        <translation>%1 n&apos;a pas pu être mis de côté et risque d&apos;être remplacé par la prochaine impression.</translation>
    </message>
</context>
<context>
    <name>QuitQuestion</name>
    <message>
        <source>Are you sure you wish to close the KORVA Fax Printer Helper program?
You will not be able to send faxes until this program is restarted!</source>
        <translation>Voulez-vous vraiment fermer le programme d&apos;assistance de KORVA Fax Printer&#xa0;?
Vous ne pourrez plus envoyer de fax tant que ce programme n&apos;aura pas été redémarré&#xa0;!</translation>
    </message>
</context>
<context>
    <name>SendFaxRules</name>
    <message>
        <source>%1 page</source>
        <translation>%1 page</translation>
    </message>
    <message>
        <source>%1 pages</source>
        <translation>%1 pages</translation>
    </message>
</context>
<context>
    <name>korva::app::ConfigureDialog</name>
    <message>
        <source>KORVA &amp;Server Address:</source>
        <translation>Adresse du &amp;serveur KORVA&#xa0;:</translation>
    </message>
    <message>
        <source>SM&amp;TP Server Port:</source>
        <translation>Port du serveur SM&amp;TP&#xa0;:</translation>
    </message>
    <message>
        <source>POP&amp;3 Server Port:</source>
        <translation>Port du serveur POP&amp;3&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;LDAP Server Port:</source>
        <translation>Port du serveur &amp;LDAP&#xa0;:</translation>
    </message>
    <message>
        <source>KORVA &amp;User Name:</source>
        <translation>Nom d&apos;&amp;utilisateur KORVA&#xa0;:</translation>
    </message>
    <message>
        <source>KORVA Pass&amp;word:</source>
        <translation>Mot de pass&amp;e KORVA&#xa0;:</translation>
    </message>
    <message>
        <source>Your Email A&amp;ddress:</source>
        <translation>Votre a&amp;dresse e-mail&#xa0;:</translation>
    </message>
    <message>
        <source>Fa&amp;x Email Address:</source>
        <translation>Adresse e-mail du fa&amp;x&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Real Name:</source>
        <translation>Vot&amp;re nom&#xa0;:</translation>
    </message>
    <message>
        <source>Co&amp;mpany Name:</source>
        <translation>No&amp;m de la société&#xa0;:</translation>
    </message>
    <message>
        <source>Your &amp;Phone Number:</source>
        <translation>Votre numéro de télé&amp;phone&#xa0;:</translation>
    </message>
    <message>
        <source>Your &amp;Fax Number:</source>
        <translation>Votre numéro de &amp;fax&#xa0;:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <source>(e.g. user@domain.com)</source>
        <translation>(p. ex. utilisateur@domaine.com)</translation>
    </message>
    <message>
        <source>(usually fax@domain.com)</source>
        <translation>(en général fax@domaine.com)</translation>
    </message>
    <message>
        <source>Configure KORVA Fax V0.16</source>
        <translation>Configurer KORVA Fax V0.16</translation>
    </message>
    <message>
        <source>Cover Pa&amp;ge(s):
(Only supported with KORVA 2.1.12 and later)</source>
        <translation>Pa&amp;ge(s) de garde&#xa0;:
(uniquement avec KORVA 2.1.12 et ultérieur)</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>A&amp;nnuler</translation>
    </message>
    <message>
        <source>Waiting for the keyring…</source>
        <translation>En attente du trousseau de clés…</translation>
    </message>
    <message>
        <source>&amp;Encryption:</source>
        <translation>&amp;Chiffrement&#xa0;:</translation>
    </message>
    <message>
        <source>Without encryption the password crosses the network in the clear.</source>
        <translation>Sans chiffrement, le mot de passe circule en clair sur le réseau.</translation>
    </message>
    <message>
        <source>Configuration Is Needed</source>
        <translation>Configuration requise</translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation>Chiffrement</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>The %1 setting cannot be used: %2.</source>
        <translation>Le paramètre «&#xa0;%1&#xa0;» ne peut pas être utilisé&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Cover Page(s)</source>
        <translation>Page(s) de garde</translation>
    </message>
</context>
<context>
    <name>korva::app::DirectoryNamesGroup</name>
    <message>
        <source>Directory &amp;base DN:</source>
        <translation>DN de &amp;base de l&apos;annuaire&#xa0;:</translation>
    </message>
    <message>
        <source>Directory b&amp;ind DN:</source>
        <translation>DN de l&amp;iaison de l&apos;annuaire&#xa0;:</translation>
    </message>
    <message>
        <source>the user name</source>
        <translation>le nom d&apos;utilisateur</translation>
    </message>
    <message>
        <source>&amp;Advanced</source>
        <translation>&amp;Avancé</translation>
    </message>
    <message>
        <source>For a standard directory such as OpenLDAP, e.g. base
ou=people,dc=example,dc=com and bind uid=anna,ou=people,dc=example,dc=com</source>
        <translation>Pour un annuaire standard comme OpenLDAP, p. ex. base
ou=people,dc=example,dc=com et liaison uid=anna,ou=people,dc=example,dc=com</translation>
    </message>
</context>
<context>
    <name>korva::app::ProgressDialog</name>
    <message>
        <source>Fax Progress</source>
        <translation>Progression du fax</translation>
    </message>
    <message>
        <source>The fax is being prepared for sending</source>
        <translation>Le fax est en cours de préparation pour l&apos;envoi</translation>
    </message>
    <message>
        <source>page %1 of %2</source>
        <translation>page %1 sur %2</translation>
    </message>
</context>
<context>
    <name>korva::app::RecipientList</name>
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
    <message>
        <source>The recipient &quot;%1&quot; holds the character &quot;%2&quot;, which KORVA Fax cannot send or store.</source>
        <translation>Le destinataire «&#xa0;%1&#xa0;» contient le caractère «&#xa0;%2&#xa0;», que KORVA Fax ne peut ni envoyer ni enregistrer.</translation>
    </message>
</context>
<context>
    <name>korva::app::SendFaxDialog</name>
    <message>
        <source>Send KORVA Fax (V0.16)</source>
        <translation>Envoyer un fax KORVA (V0.16)</translation>
    </message>
    <message>
        <source>Co&amp;nfigure...</source>
        <translation>&amp;Configurer...</translation>
    </message>
    <message>
        <source>&amp;Subject :</source>
        <translation>&amp;Objet&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Comments :</source>
        <translation>Co&amp;mmentaires&#xa0;:</translation>
    </message>
    <message>
        <source>View Address &amp;Book</source>
        <translation>Voir le carnet d&apos;&amp;adresses</translation>
    </message>
    <message>
        <source>&amp;Documents</source>
        <translation>&amp;Documents</translation>
    </message>
    <message>
        <source>Total Pages: </source>
        <translation>Pages au total&#xa0;: </translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Preview Fa&amp;x</source>
        <translation>A&amp;perçu du fax</translation>
    </message>
    <message>
        <source>Recipient &amp;Fax Number:</source>
        <translation>N° de &amp;fax du destinataire&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Recipient Name:</source>
        <translation>&amp;Nom du destinataire&#xa0;:</translation>
    </message>
    <message>
        <source>Recipient C&amp;ompany:</source>
        <translation>Soc&amp;iété du destinataire&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Add Recipient</source>
        <translation>A&amp;jouter le destinataire</translation>
    </message>
    <message>
        <source>Re&amp;place Recipient</source>
        <translation>R&amp;emplacer le destinataire</translation>
    </message>
    <message>
        <source>Remo&amp;ve Recipient</source>
        <translation>Re&amp;tirer le destinataire</translation>
    </message>
    <message>
        <source>Cover Pa&amp;ge:</source>
        <translation>Pa&amp;ge de garde&#xa0;:</translation>
    </message>
    <message>
        <source>S&amp;end Fax</source>
        <translation>En&amp;voyer le fax</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Objet</translation>
    </message>
    <message>
        <source>Comments</source>
        <translation>Commentaires</translation>
    </message>
    <message>
        <source>Recipient List</source>
        <translation>Liste des destinataires</translation>
    </message>
    <message>
        <source>No Documents are ready to be sent</source>
        <translation>Aucun document n&apos;est prêt à être envoyé</translation>
    </message>
    <message>
        <source>No Recipients Defined
Press the ADD button to add recipients to the recipient list</source>
        <translation>Aucun destinataire défini
Cliquez sur «&#xa0;Ajouter le destinataire&#xa0;» pour ajouter des destinataires à la liste</translation>
    </message>
</context>
</TS>
