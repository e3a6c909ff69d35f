// Debian's chromium, headless, with a profile of its own that goes with it: what every script
// here drives the page with.
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import puppeteer from 'puppeteer-core';

// Returns the browser; its close() also removes the profile.
export async function launchChromium(extraArgs = []) {
  const profile = mkdtempSync(join(tmpdir(), 'tandemhoop-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    userDataDir: profile,
    // Driven through a pipe: no port is opened for it.
    pipe: true,
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', ...extraArgs],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}
