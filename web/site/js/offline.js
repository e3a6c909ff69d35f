// The page installable and playable offline after one visit: sw.js keeps the whole site, one
// build at a time. After a new deployment the browser installs the new set beside the running
// one; this page then reloads itself into it at the first moment that loses nothing (no game in
// the middle), or, in the middle of a game, at its next load, which finds the new set waiting
// and takes it at once.

// `idle()`: whether a reload now would lose nothing.
export function keepOffline(idle) {
  if (!('serviceWorker' in navigator)) return;
  const workers = navigator.serviceWorker;
  // A page that ran without one (the first visit) has nothing to swap: it keeps running as it is.
  const runningSet = workers.controller;
  let reloading = false;
  workers.addEventListener('controllerchange', () => {
    if (runningSet === null || reloading || !idle()) return;
    reloading = true;
    location.reload();
  });
  const offer = (registration) => {
    if (runningSet !== null && registration.waiting !== null && idle()) {
      registration.waiting.postMessage('take over');
    }
  };
  workers.register('sw.js').then((registration) => {
    offer(registration);
    registration.addEventListener('updatefound', () => {
      const installing = registration.installing;
      installing?.addEventListener('statechange', () => {
        if (installing.state === 'installed') offer(registration);
      });
    });
  }, (error) => console.warn(`Not kept for offline play: ${error.message}`));
}
