// The page's markup against its script and its policy: every element the script looks up is
// there once, every control has a name, and nothing inline would be blocked by the CSP.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

const kPage = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', '..', 'server', 'page');
const html = fs.readFileSync(path.join(kPage, 'index.html'), 'utf8');
const script = fs.readFileSync(path.join(kPage, 'app.js'), 'utf8');
const tags = [...html.matchAll(/<(\w+)((?:\s+[\w-]+(?:="[^"]*")?)*)\s*\/?>/g)].map(([, name, attributes]) => ({
  name,
  attributes: Object.fromEntries([...attributes.matchAll(/([\w-]+)(?:="([^"]*)")?/g)].map(([, key, value]) => [key, value ?? ''])),
}));

test('every element the script looks up is in the page once', () => {
  const ids = tags.map((t) => t.attributes.id).filter(Boolean);
  assert.equal(new Set(ids).size, ids.length, 'an id is used twice');
  for (const [, id] of script.matchAll(/\$\('([\w-]+)'\)/g)) assert.ok(ids.includes(id), `#${id} is missing`);
});

test('every tag is well formed and every control says what it does', () => {
  const opened = (html.match(/<[a-zA-Z]/g) || []).length;
  assert.equal(tags.length, opened, 'a tag the parser could not read');
  for (const tag of tags.filter((t) => ['button', 'input'].includes(t.name)))
    assert.ok(tag.attributes['aria-label'], `${tag.name}#${tag.attributes.id} has no name`);
});

test('nothing inline that the policy would block, nothing from another host', () => {
  for (const tag of tags) {
    assert.equal(tag.attributes.style, undefined, `style= on ${tag.name}`);
    assert.ok(!Object.keys(tag.attributes).some((a) => a.startsWith('on')), `a handler attribute on ${tag.name}`);
    for (const key of ['src', 'href']) {
      const value = tag.attributes[key];
      if (value !== undefined) assert.match(value, /^[/#]/, `${tag.name} ${key}=${value}`);
    }
  }
  assert.doesNotMatch(html, /<script>|<style>/);
});
