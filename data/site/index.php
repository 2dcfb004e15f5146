<html>
<head>
<title>Getting started with Tablewright</title>
</head>
<body>
<h1>Getting started</h1>
<ol>
<li>Open <b>Settings</b> in the deck editor and choose a user name. The name Game is kept for the program's own lines; without a name you play as Newbie.</li>
<li>Build a deck in the deck editor: search the card list, double-click a card to add it, and save the deck in your Decks folder.</li>
<li>Choose a ban list (Advanced, Traditional or No List); the deck check uses it.</li>
<li>Press <b>Use Deck</b> to take the deck to the duel window.</li>
<li>One player presses <b>Listen</b>; the other picks a duel mode, types the first player's address and presses <b>Connect</b>.</li>
</ol>
<p>Duels are logged in your Logs folder when <b>Log Duel</b> is ticked; Scrollkeep reads those logs.</p>
</body>
</html>
