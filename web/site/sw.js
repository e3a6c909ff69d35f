// The page kept for playing offline: every file of the site in one cache named after the whole
// set, filled at install and checked file by file against the digests the build wrote below,
// so that a module never meets pictures (or sounds, or a page) of another build. A new build
// changes this file, and the browser installs it beside the old one; it takes over only when no
// page of the old set is left running, or when the one page there is asks for it at a moment
// that loses nothing (offline.js).

// Written by the build (web/stamp-site.py): the set's version and each file's SHA-256, in hex.
const kVersion = 'unbuilt';
const kFiles = {};

const kCache = `tandemhoop-${kVersion}`;

self.addEventListener('install', (event) => event.waitUntil(fill()));

async function fill() {
  // A half-filled cache of an earlier try is no start.
  await caches.delete(kCache);
  const cache = await caches.open(kCache);
  try {
    await Promise.all(Object.entries(kFiles).map(async ([path, digest]) => {
      // Asked of the server, not of the browser's cache (which may still hold the old file).
      const response = await fetch(new Request(path, {cache: 'no-cache'}));
      if (!response.ok) throw new Error(`${path}: ${response.status}`);
      const found = await sha256(await response.clone().arrayBuffer());
      // The server is already on another build: this one is never taken in part.
      if (found !== digest) throw new Error(`${path} is not the file of ${kVersion}`);
      await cache.put(path, response);
    }));
  } catch (error) {
    await caches.delete(kCache);
    throw error;
  }
}

async function sha256(bytes) {
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  return Array.from(digest, (byte) => byte.toString(16).padStart(2, '0')).join('');
}

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(
      names.filter((name) => name.startsWith('tandemhoop-') && name !== kCache)
          .map((name) => caches.delete(name)))));
});

// The one page open asks for the new set when it can reload without losing a game. With other
// pages of the old set still running, it waits: they may still fetch a file.
self.addEventListener('message', (event) => {
  if (event.data !== 'take over') return;
  event.waitUntil(self.clients.matchAll({type: 'window'}).then((windows) => {
    if (windows.length <= 1) return self.skipWaiting();
    return undefined;
  }));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const url = new URL(request.url);
  const scope = new URL(self.registration.scope);
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return;
  let path = decodeURIComponent(url.pathname.slice(scope.pathname.length));
  // The page by any of its addresses (a room link, a replay's): its query is the page's to read.
  if (request.mode === 'navigate' && path === '') path = 'index.html';
  // Anything else (the room server's own addresses) is the network's.
  if (!Object.hasOwn(kFiles, path)) return;
  event.respondWith(caches.open(kCache)
                        .then((cache) => cache.match(path))
                        .then((response) => response ?? fetch(request)));
});
