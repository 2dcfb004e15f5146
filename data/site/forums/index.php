<html>
<head>
<title>Cannot host a duel?</title>
</head>
<body>
<h1>Cannot host a duel?</h1>
<p>The player who listens must be reachable on TCP port 7238. The player who connects uses local port 7237.</p>
<ul>
<li>Allow Tablewright through your firewall, or open port 7238 for it.</li>
<li>Behind a router, forward TCP port 7238 to the computer that listens.</li>
<li>Press Listen <b>before</b> your opponent presses Connect.</li>
<li>If neither of you can listen, both connect to a Bridgehall relay: one as the relay host (port 7237), the other as the relay client (port 7240).</li>
</ul>
</body>
</html>
