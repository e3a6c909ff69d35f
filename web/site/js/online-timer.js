// The online game's clock. A page's own timers are slowed to once a second, and later once a
// minute, while its tab is hidden; a worker's are not. The other player's game would then hold
// for this side's inputs, so the session is woken from here: each message asks for one wake-up
// after so many milliseconds (null for none), and the answer is that wake-up.
let timer = 0;
onmessage = ({data}) => {
  clearTimeout(timer);
  if (data !== null) timer = setTimeout(() => postMessage(0), data);
};
