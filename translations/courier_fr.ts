<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>CertificateProblem</name>
    <message>
        <source>certificate has expired</source>
        <translation>certificat expiré</translation>
    </message>
    <message>
        <source>certificate is not yet valid</source>
        <translation>certificat pas encore valide</translation>
    </message>
    <message>
        <source>not trusted</source>
        <translation>non approuvé</translation>
    </message>
    <message>
        <source>issued for another name</source>
        <translation>émis pour un autre nom</translation>
    </message>
    <message>
        <source>certificate refused</source>
        <translation>certificat refusé</translation>
    </message>
    <message>
        <source>the connection is not encrypted</source>
        <translation>la connexion n&apos;est pas chiffrée</translation>
    </message>
    <message>
        <source>The certificate of %1 was refused: %2.</source>
        <translation>Le certificat de %1 a été refusé&#xa0;: %2.</translation>
    </message>
    <message>
        <source>TLS with %1 failed: %2.</source>
        <translation>TLS avec %1 a échoué&#xa0;: %2.</translation>
    </message>
    <message>
        <source>TLS could not be set up for %1</source>
        <translation>Impossible d&apos;établir TLS pour %1</translation>
    </message>
    <message>
        <source>The CA file %1 cannot be read</source>
        <translation>Impossible de lire le fichier CA %1</translation>
    </message>
</context>
<context>
    <name>ControlArea</name>
    <message>
        <source>CreateMutex Error</source>
        <translation>Erreur CreateMutex</translation>
    </message>
    <message>
        <source>Error %1</source>
        <translation>Erreur %1</translation>
    </message>
</context>
<context>
    <name>Conversion</name>
    <message>
        <source>The printed document cannot be read (%1); no fax pages were made.</source>
        <translation>Le document imprimé ne peut pas être lu (%1)&#xa0;; aucune page de fax n&apos;a été créée.</translation>
    </message>
    <message>
        <source>Page %1 of the printed document cannot be converted (%2) and is left out of the fax.</source>
        <translation>La page %1 du document imprimé ne peut pas être convertie (%2) et ne figurera pas dans le fax.</translation>
    </message>
    <message>
        <source>The printed document was not faxed. It could not be moved to %1 (error %2). It stays as %3.</source>
        <translation>Le document imprimé n&apos;a pas été faxé. Il n&apos;a pas pu être déplacé vers %1 (erreur %2). Il reste sous %3.</translation>
    </message>
    <message>
        <source>The printed document was not faxed. It is kept as %1.</source>
        <translation>Le document imprimé n&apos;a pas été faxé. Il est conservé sous %1.</translation>
    </message>
    <message>
        <source>The disk is full: the printed document was not faxed. It is kept and faxed when it can be written again.</source>
        <translation>Le disque est plein&#xa0;: le document imprimé n&apos;a pas été faxé. Il est conservé et sera faxé dès qu&apos;il pourra de nouveau être écrit.</translation>
    </message>
    <message>
        <source>The fax document cannot be written (%1): the printed document was not faxed. It is kept and faxed when it can be written again.</source>
        <translation>Le document de fax ne peut pas être écrit (%1)&#xa0;: le document imprimé n&apos;a pas été faxé. Il est conservé et sera faxé dès qu&apos;il pourra de nouveau être écrit.</translation>
    </message>
</context>
<context>
    <name>FaxSubmission</name>
    <message>
        <source>The fax document %1 cannot be read (error %2). The fax was not sent.</source>
        <translation>Le document de fax %1 ne peut pas être lu (erreur %2). Le fax n&apos;a pas été envoyé.</translation>
    </message>
</context>
<context>
    <name>ServerError</name>
    <message>
        <source>line break in the entry&apos;s name or attribute name</source>
        <translation>saut de ligne dans le nom de l&apos;entrée ou de l&apos;attribut</translation>
    </message>
    <message>
        <source>Socket error Creating LDAP Entry</source>
        <translation>Erreur de socket lors de la création de l&apos;entrée LDAP</translation>
    </message>
    <message>
        <source>Error Creating LDAP Entry</source>
        <translation>Erreur lors de la création de l&apos;entrée LDAP</translation>
    </message>
    <message>
        <source>Error Setting Attribute</source>
        <translation>Erreur lors de la définition de l&apos;attribut</translation>
    </message>
    <message>
        <source>Socket error Setting Attribute</source>
        <translation>Erreur de socket lors de la définition de l&apos;attribut</translation>
    </message>
    <message>
        <source>Error Deleting LDAP Entry</source>
        <translation>Erreur lors de la suppression de l&apos;entrée LDAP</translation>
    </message>
    <message>
        <source>Socket error Deleting LDAP Entry</source>
        <translation>Erreur de socket lors de la suppression de l&apos;entrée LDAP</translation>
    </message>
    <message>
        <source>Error connecting to KORVA server</source>
        <translation>Erreur de connexion au serveur KORVA</translation>
    </message>
    <message>
        <source>Error logging on to KORVA</source>
        <translation>Erreur d&apos;authentification auprès de KORVA</translation>
    </message>
    <message>
        <source>Socket error logging on to KORVA</source>
        <translation>Erreur de socket lors de l&apos;authentification auprès de KORVA</translation>
    </message>
    <message>
        <source>Error sending fax</source>
        <translation>Erreur lors de l&apos;envoi du fax</translation>
    </message>
    <message>
        <source>Socket error sending fax</source>
        <translation>Erreur de socket lors de l&apos;envoi du fax</translation>
    </message>
    <message>
        <source>Unable to read fax document</source>
        <translation>Impossible de lire le document de fax</translation>
    </message>
    <message>
        <source>Unable to create socket</source>
        <translation>Impossible de créer le socket</translation>
    </message>
    <message>
        <source>Unable to bind socket</source>
        <translation>Impossible de lier le socket</translation>
    </message>
    <message>
        <source>Unable to connect to server</source>
        <translation>Impossible de se connecter au serveur</translation>
    </message>
    <message>
        <source>Error in the KORVA Fax settings</source>
        <translation>Erreur dans les paramètres de KORVA Fax</translation>
    </message>
</context>
<context>
    <name>ServerTarget</name>
    <message>
        <source>Server is empty; it must name the mail server</source>
        <translation>L&apos;adresse du serveur est vide&#xa0;; elle doit indiquer le serveur de messagerie</translation>
    </message>
    <message>
        <source>Server is &quot;%1&quot;; it must be one host name or address, without blanks, commas, slashes or a scheme</source>
        <translation>L&apos;adresse du serveur est «&#xa0;%1&#xa0;»&#xa0;; elle doit être un seul nom d&apos;hôte ou une seule adresse, sans espaces, virgules, barres obliques ni schéma</translation>
    </message>
    <message>
        <source>Encryption is %1; it must be 0 (none), 1 (STARTTLS) or 2 (TLS)</source>
        <translation>Le chiffrement vaut %1&#xa0;; il doit valoir 0 (aucun), 1 (STARTTLS) ou 2 (TLS)</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Error saving settings</source>
        <translation>Erreur lors de l&apos;enregistrement des paramètres</translation>
    </message>
</context>
<context>
    <name>SpoolFolder</name>
    <message>
        <source>The spool folder %1 cannot be examined (%2); KORVA Fax will not use it.</source>
        <translation>Le dossier d&apos;attente %1 ne peut pas être examiné (%2)&#xa0;; KORVA Fax ne l&apos;utilisera pas.</translation>
    </message>
    <message>
        <source>The spool folder %1 is not a folder; KORVA Fax will not use it.</source>
        <translation>Le dossier d&apos;attente %1 n&apos;est pas un dossier&#xa0;; KORVA Fax ne l&apos;utilisera pas.</translation>
    </message>
    <message>
        <source>The spool folder %1 is not owned by you; KORVA Fax will not use it.</source>
        <translation>Le dossier d&apos;attente %1 ne vous appartient pas&#xa0;; KORVA Fax ne l&apos;utilisera pas.</translation>
    </message>
    <message>
        <source>The spool folder %1 is not owned by %2; KORVA Fax will not use it.</source>
        <translation>Le dossier d&apos;attente %1 n&apos;appartient pas à %2&#xa0;; KORVA Fax ne l&apos;utilisera pas.</translation>
    </message>
    <message>
        <source>The spool folder %1 is writable by other users (mode %2); KORVA Fax will not use it.</source>
        <translation>Le dossier d&apos;attente %1 est accessible en écriture à d&apos;autres utilisateurs (mode %2)&#xa0;; KORVA Fax ne l&apos;utilisera pas.</translation>
    </message>
</context>
</TS>
