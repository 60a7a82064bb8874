// Mozilla User Preferences
user_pref("mail.accountmanager.defaultaccount", "account1");
user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.identity.id1.fullName", "Anna Berg \u00e9");
user_pref("mail.identity.id1.useremail", "anna@example.com");
user_pref("mail.identity.id1.smtpServer", "smtp1");
user_pref("mail.server.server1.hostname", "mail.example.com");
user_pref("mail.server.server1.port", 995);
user_pref("mail.server.server1.type", "pop3");
user_pref("mail.server.server1.userName", "anna");
user_pref("mail.smtpserver.smtp1.port", 587);
user_pref("mail.smtp.defaultserver", "smtp1");
