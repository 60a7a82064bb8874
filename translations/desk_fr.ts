<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>Courier</name>
    <message>
        <source>faxcourier already runs; asked it to open the Fax Address Book</source>
        <translation>faxcourier est déjà lancé et a été invité à ouvrir le carnet d&apos;adresses de fax</translation>
    </message>
    <message>
        <source>faxcourier already runs; asked it to open the Outbox window</source>
        <translation>faxcourier est déjà lancé et a été invité à ouvrir la fenêtre Boîte d&apos;envoi</translation>
    </message>
    <message>
        <source>faxcourier already runs; asked it to open Configure</source>
        <translation>faxcourier est déjà lancé et a été invité à ouvrir la configuration</translation>
    </message>
    <message>
        <source>A Send Fax dialog is open: send or cancel that fax first.</source>
        <translation>Une boîte de dialogue Envoyer un fax est ouverte&#xa0;: envoyez ou annulez d&apos;abord ce fax.</translation>
    </message>
    <message>
        <source>A printed fax is being prepared: send or cancel it first.</source>
        <translation>Un fax imprimé est en cours de préparation&#xa0;: envoyez-le ou annulez-le d&apos;abord.</translation>
    </message>
    <message>
        <source>The outbox is being sent just now; try again when that is done.</source>
        <translation>La boîte d&apos;envoi est en cours d&apos;envoi&#xa0;; réessayez lorsque ce sera terminé.</translation>
    </message>
    <message>
        <source>This fax is no longer in the outbox.</source>
        <translation>Ce fax n&apos;est plus dans la boîte d&apos;envoi.</translation>
    </message>
</context>
<context>
    <name>DesktopNotice</name>
    <message>
        <source>Open Outbox</source>
        <translation>Ouvrir la boîte d&apos;envoi</translation>
    </message>
</context>
<context>
    <name>FaxNotice</name>
    <message>
        <source>No subject</source>
        <translation>Sans objet</translation>
    </message>
    <message>
        <source>1 page</source>
        <translation>1 page</translation>
    </message>
    <message>
        <source>%1 pages</source>
        <translation>%1 pages</translation>
    </message>
    <message>
        <source>%1 and %2 more</source>
        <translation>%1 et %2 autres</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 et %2</translation>
    </message>
    <message>
        <source>Fax sent</source>
        <translation>Fax envoyé</translation>
    </message>
    <message>
        <source>Fax waiting in the outbox</source>
        <translation>Fax en attente dans la boîte d&apos;envoi</translation>
    </message>
    <message>
        <source>Fax refused</source>
        <translation>Fax refusé</translation>
    </message>
    <message>
        <source>To %1</source>
        <translation>À %1</translation>
    </message>
    <message>
        <source>1 fax waits in the outbox</source>
        <translation>1 fax attend dans la boîte d&apos;envoi</translation>
    </message>
    <message>
        <source>%1 faxes wait in the outbox</source>
        <translation>%1 fax attendent dans la boîte d&apos;envoi</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 à %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>et %1 autres</translation>
    </message>
</context>
<context>
    <name>FaxcourierMain</name>
    <message>
        <source>faxcourier: the spool folder cannot be found or made</source>
        <translation>faxcourier&#xa0;: le dossier de spool est introuvable ou ne peut pas être créé</translation>
    </message>
    <message>
        <source>faxcourier does not run on this session bus; nothing to end</source>
        <translation>faxcourier ne tourne pas sur ce bus de session&#xa0;; rien à arrêter</translation>
    </message>
    <message>
        <source>faxcourier: %1</source>
        <translation>faxcourier&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>OutboxCommand</name>
    <message>
        <source>%1 in %2 document(s)</source>
        <translation>%1 dans %2 document(s)</translation>
    </message>
    <message>
        <source>created</source>
        <translation>créé</translation>
    </message>
    <message>
        <source>attempts</source>
        <translation>tentatives</translation>
    </message>
    <message>
        <source>subject</source>
        <translation>objet</translation>
    </message>
    <message>
        <source>recipients</source>
        <translation>destinataires</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>pages</translation>
    </message>
    <message>
        <source>reason</source>
        <translation>motif</translation>
    </message>
    <message>
        <source>The outbox is empty.</source>
        <translation>La boîte d&apos;envoi est vide.</translation>
    </message>
    <message>
        <source>%1 fax(es) in the outbox, oldest first:</source>
        <translation>%1 fax dans la boîte d&apos;envoi, le plus ancien en premier&#xa0;:</translation>
    </message>
    <message>
        <source>%1 fax(es) were being stored when a run ended; faxcourier puts them in place at its next start.</source>
        <translation>%1 fax étaient en cours d&apos;enregistrement à la fin d&apos;une exécution&#xa0;; faxcourier les remettra en place à son prochain démarrage.</translation>
    </message>
    <message>
        <source>Another KORVA Fax is sending the outbox; try again later.</source>
        <translation>Un autre KORVA Fax est en train d&apos;envoyer la boîte d&apos;envoi&#xa0;; réessayez plus tard.</translation>
    </message>
    <message>
        <source>sent</source>
        <translation>envoyé</translation>
    </message>
    <message>
        <source>The sent fax %1 could not be noted in %2 (error %3).</source>
        <translation>Le fax envoyé %1 n&apos;a pas pu être consigné dans %2 (erreur %3).</translation>
    </message>
    <message>
        <source>no recipients, waits for the Send Fax dialog</source>
        <translation>aucun destinataire, attend la boîte de dialogue Envoyer un fax</translation>
    </message>
    <message>
        <source>There is no fax %1 in the outbox; --outbox lists them.</source>
        <translation>Il n&apos;y a pas de fax %1 dans la boîte d&apos;envoi&#xa0;; --outbox les affiche.</translation>
    </message>
    <message>
        <source>The fax %1 could not be removed from %2.</source>
        <translation>Le fax %1 n&apos;a pas pu être supprimé de %2.</translation>
    </message>
    <message>
        <source>Removed %1 from the outbox.</source>
        <translation>%1 a été supprimé de la boîte d&apos;envoi.</translation>
    </message>
    <message>
        <source>Usage: faxcourier --outbox | --outbox-retry | --outbox-drop ID | --sent</source>
        <translation>Utilisation&#xa0;: faxcourier --outbox | --outbox-retry | --outbox-drop ID | --sent</translation>
    </message>
</context>
<context>
    <name>OutboxKeeper</name>
    <message>
        <source>Fax not sent</source>
        <translation>Fax non envoyé</translation>
    </message>
    <message>
        <source>It could not be put in the outbox; its documents stay in %1.</source>
        <translation>Il n&apos;a pas pu être placé dans la boîte d&apos;envoi&#xa0;; ses documents restent dans %1.</translation>
    </message>
</context>
<context>
    <name>OutboxText</name>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>en attente</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>refusé</translation>
    </message>
    <message>
        <source>needs the dialog</source>
        <translation>requiert la boîte de dialogue</translation>
    </message>
    <message>
        <source>waiting, next try %1</source>
        <translation>en attente, prochain essai %1</translation>
    </message>
    <message>
        <source>refused, sent again only on request</source>
        <translation>refusé, renvoyé uniquement sur demande</translation>
    </message>
    <message>
        <source>no recipients, offered in the Send Fax dialog</source>
        <translation>aucun destinataire, proposé dans la boîte de dialogue Envoyer un fax</translation>
    </message>
    <message>
        <source>offered in the Send Fax dialog, never sent from here</source>
        <translation>proposé dans la boîte de dialogue Envoyer un fax, jamais envoyé d&apos;ici</translation>
    </message>
</context>
<context>
    <name>OutboxWindow</name>
    <message>
        <source>KORVA Fax Outbox</source>
        <translation>KORVA Fax – Boîte d&apos;envoi</translation>
    </message>
    <message>
        <source>Out&amp;box</source>
        <translation>&amp;Boîte d&apos;envoi</translation>
    </message>
    <message>
        <source>&amp;Sent</source>
        <translation>&amp;Envoyés</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Destinataires</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Objet</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Pages</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Créé</translation>
    </message>
    <message>
        <source>Attempts</source>
        <translation>Tentatives</translation>
    </message>
    <message>
        <source>Next Try</source>
        <translation>Prochain essai</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Motif</translation>
    </message>
    <message>
        <source>&amp;Retry Now</source>
        <translation>&amp;Réessayer maintenant</translation>
    </message>
    <message>
        <source>&amp;Open in Send Fax</source>
        <translation>&amp;Ouvrir dans Envoyer un fax</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Date and Time</source>
        <translation>Date et heure</translation>
    </message>
    <message>
        <source>How</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Sending…</source>
        <translation>Envoi en cours…</translation>
    </message>
    <message>
        <source>This fax is open in the Send Fax dialog.</source>
        <translation>Ce fax est ouvert dans la boîte de dialogue Envoyer un fax.</translation>
    </message>
    <message>
        <source>This fax is sent only from the Send Fax dialog.</source>
        <translation>Ce fax n&apos;est envoyé que depuis la boîte de dialogue Envoyer un fax.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Delete the fax &quot;%1&quot; to %2 and its documents from the outbox?</source>
        <translation>Supprimer de la boîte d&apos;envoi le fax «&#xa0;%1&#xa0;» à %2 et ses documents&#xa0;?</translation>
    </message>
    <message>
        <source>The fax could not be removed from %1.</source>
        <translation>Le fax n&apos;a pas pu être supprimé de %1.</translation>
    </message>
</context>
<context>
    <name>ProgramInfo</name>
    <message>
        <source>open the Configure dialog; when faxcourier runs already,
ask it to open it (so does a second start without options)</source>
        <translation>ouvrir la boîte de dialogue Configurer&#xa0;; si faxcourier est
déjà lancé, lui demander de l&apos;ouvrir (de même pour un
second lancement sans option)</translation>
    </message>
    <message>
        <source>open the Fax Address Book; when faxcourier runs already,
ask it to open it</source>
        <translation>ouvrir le carnet d&apos;adresses de fax&#xa0;; si faxcourier
est déjà lancé, lui demander de l&apos;ouvrir</translation>
    </message>
    <message>
        <source>open the Outbox window of the running faxcourier</source>
        <translation>ouvrir la fenêtre Boîte d&apos;envoi du faxcourier lancé</translation>
    </message>
    <message>
        <source>list the faxes that wait to be sent, and why</source>
        <translation>lister les fax en attente d&apos;envoi, avec leur motif</translation>
    </message>
    <message>
        <source>send every waiting fax now</source>
        <translation>envoyer maintenant tous les fax en attente</translation>
    </message>
    <message>
        <source>remove the waiting fax ID and its documents</source>
        <translation>supprimer le fax en attente ID et ses documents</translation>
    </message>
    <message>
        <source>list the faxes the server accepted</source>
        <translation>lister les fax acceptés par le serveur</translation>
    </message>
    <message>
        <source>ask the running faxcourier to end</source>
        <translation>demander au faxcourier lancé de s&apos;arrêter</translation>
    </message>
    <message>
        <source>write the debug log</source>
        <translation>écrire le journal de débogage</translation>
    </message>
    <message>
        <source>show this help and end</source>
        <translation>afficher cette aide et quitter</translation>
    </message>
    <message>
        <source>show the version and end</source>
        <translation>afficher la version et quitter</translation>
    </message>
    <message>
        <source>Usage: faxcourier [OPTION]
Runs in the background for the logged-on user, turns printed documents into
faxes and sends them through the KORVA mail server.</source>
        <translation>Utilisation&#xa0;: faxcourier [OPTION]
Tourne en arrière-plan pour l&apos;utilisateur connecté, transforme les documents
imprimés en fax et les envoie par le serveur de messagerie KORVA.</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>option inconnue «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs %2</source>
        <translation>l&apos;option «&#xa0;%1&#xa0;» requiert %2</translation>
    </message>
</context>
<context>
    <name>SentJournal</name>
    <message>
        <source>at once</source>
        <translation>immédiatement</translation>
    </message>
    <message>
        <source>from the outbox</source>
        <translation>depuis la boîte d&apos;envoi</translation>
    </message>
    <message>
        <source>by hand</source>
        <translation>manuellement</translation>
    </message>
    <message>
        <source>No fax has been sent yet.</source>
        <translation>Aucun fax n&apos;a encore été envoyé.</translation>
    </message>
    <message>
        <source>%1 fax(es) sent, newest first:</source>
        <translation>%1 fax envoyé(s), le plus récent en premier&#xa0;:</translation>
    </message>
    <message>
        <source>recipients</source>
        <translation>destinataires</translation>
    </message>
    <message>
        <source>subject</source>
        <translation>objet</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>pages</translation>
    </message>
</context>
<context>
    <name>StatusIcon</name>
    <message>
        <source>&amp;Configure…</source>
        <translation>&amp;Configurer…</translation>
    </message>
    <message>
        <source>&amp;Address Book…</source>
        <translation>Carnet d&apos;&amp;adresses…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Outbox…</source>
        <translation>&amp;Boîte d&apos;envoi…</translation>
    </message>
    <message>
        <source>&amp;Outbox: 1 fax waiting…</source>
        <translation>&amp;Boîte d&apos;envoi&#xa0;: 1 fax en attente…</translation>
    </message>
    <message>
        <source>&amp;Outbox: %1 faxes waiting…</source>
        <translation>&amp;Boîte d&apos;envoi&#xa0;: %1 fax en attente…</translation>
    </message>
</context>
<context>
    <name>SubmitWords</name>
    <message>
        <source>faxcourier ended before the fax was sent</source>
        <translation>faxcourier s&apos;est arrêté avant l&apos;envoi du fax</translation>
    </message>
    <message>
        <source>the server&apos;s name could not be looked up</source>
        <translation>le nom du serveur n&apos;a pas pu être résolu</translation>
    </message>
    <message>
        <source>the server did not answer</source>
        <translation>le serveur n&apos;a pas répondu</translation>
    </message>
    <message>
        <source>the server broke off the connection</source>
        <translation>le serveur a interrompu la connexion</translation>
    </message>
    <message>
        <source>the server&apos;s answer could not be read</source>
        <translation>la réponse du serveur n&apos;a pas pu être lue</translation>
    </message>
    <message>
        <source>the connection to the server failed</source>
        <translation>la connexion au serveur a échoué</translation>
    </message>
    <message>
        <source>the server refused the fax</source>
        <translation>le serveur a refusé le fax</translation>
    </message>
    <message>
        <source>the server refused the fax: %1</source>
        <translation>le serveur a refusé le fax&#xa0;: %1</translation>
    </message>
    <message>
        <source>the server turned the connection away</source>
        <translation>le serveur a rejeté la connexion</translation>
    </message>
    <message>
        <source>the server turned the connection away: %1</source>
        <translation>le serveur a rejeté la connexion&#xa0;: %1</translation>
    </message>
    <message>
        <source>the log-on was refused</source>
        <translation>l&apos;authentification a été refusée</translation>
    </message>
    <message>
        <source>the log-on was refused: %1</source>
        <translation>l&apos;authentification a été refusée&#xa0;: %1</translation>
    </message>
    <message>
        <source>the sender&apos;s e-mail address was refused</source>
        <translation>l&apos;adresse e-mail de l&apos;expéditeur a été refusée</translation>
    </message>
    <message>
        <source>the sender&apos;s e-mail address was refused: %1</source>
        <translation>l&apos;adresse e-mail de l&apos;expéditeur a été refusée&#xa0;: %1</translation>
    </message>
    <message>
        <source>the fax address was refused</source>
        <translation>l&apos;adresse de fax a été refusée</translation>
    </message>
    <message>
        <source>the fax address was refused: %1</source>
        <translation>l&apos;adresse de fax a été refusée&#xa0;: %1</translation>
    </message>
    <message>
        <source>the certificate was refused: certificate has expired</source>
        <translation>le certificat a été refusé&#xa0;: le certificat a expiré</translation>
    </message>
    <message>
        <source>the certificate was refused: certificate is not yet valid</source>
        <translation>le certificat a été refusé&#xa0;: le certificat n&apos;est pas encore valide</translation>
    </message>
    <message>
        <source>the certificate was refused: not trusted</source>
        <translation>le certificat a été refusé&#xa0;: non approuvé</translation>
    </message>
    <message>
        <source>the certificate was refused: issued for another name</source>
        <translation>le certificat a été refusé&#xa0;: émis pour un autre nom</translation>
    </message>
    <message>
        <source>the certificate was refused</source>
        <translation>le certificat a été refusé</translation>
    </message>
    <message>
        <source>the certificate was refused: %1</source>
        <translation>le certificat a été refusé&#xa0;: %1</translation>
    </message>
    <message>
        <source>the encrypted connection failed</source>
        <translation>la connexion chiffrée a échoué</translation>
    </message>
    <message>
        <source>the encrypted connection failed: %1</source>
        <translation>la connexion chiffrée a échoué&#xa0;: %1</translation>
    </message>
    <message>
        <source>the server offers no encryption (STARTTLS)</source>
        <translation>le serveur ne propose pas de chiffrement (STARTTLS)</translation>
    </message>
    <message>
        <source>a document of the fax cannot be read</source>
        <translation>un document du fax ne peut pas être lu</translation>
    </message>
    <message>
        <source>the settings cannot be used</source>
        <translation>les paramètres ne sont pas utilisables</translation>
    </message>
    <message>
        <source>the settings cannot be used: %1</source>
        <translation>les paramètres ne sont pas utilisables&#xa0;: %1</translation>
    </message>
    <message>
        <source>a document of the fax is missing</source>
        <translation>un document du fax est manquant</translation>
    </message>
    <message>
        <source>open in the Send Fax dialog</source>
        <translation>ouvert dans la boîte de dialogue Envoyer un fax</translation>
    </message>
    <message>
        <source>not accepted</source>
        <translation>non accepté</translation>
    </message>
    <message>
        <source>no recipients: waits for the Send Fax dialog</source>
        <translation>aucun destinataire&#xa0;: attend la boîte de dialogue Envoyer un fax</translation>
    </message>
    <message>
        <source>the Send Fax dialog was open when faxcourier ended: waits for it</source>
        <translation>la boîte de dialogue Envoyer un fax était ouverte à l&apos;arrêt de faxcourier&#xa0;: l&apos;attend</translation>
    </message>
</context>
</TS>
